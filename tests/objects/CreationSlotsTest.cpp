// The access object's creation slots: references handed out, refusals, and
// each access object's own pools.
#include <vector>

#include "CZuInterplayAccess.h"
#include "ObjectsTestSupport.h"

using namespace zutest;

namespace {

IZuInterplayAccess* MakeAccess() {
    HRESULT hr = E_FAIL;
    CKoUnknown* object = CreateAccessObject(nullptr, &hr);
    if (!object) return nullptr;
    IZuInterplayAccess* access = nullptr;
    object->NonDelegatingAddRef();
    object->NonDelegatingQueryInterface(IID_IZuInterplayAccess, reinterpret_cast<void**>(&access));
    object->NonDelegatingRelease();
    return access;
}

// Calls every creation slot with out-parameters preset to a sentinel, checks
// that none was written and returns the six results.
std::vector<HRESULT> CallEverySlotExpectingNoObject(IZuInterplayAccess* access) {
    std::vector<HRESULT> results;
    auto check = [&](HRESULT hr, void* out) {
        results.push_back(hr);
        EXPECT_EQ(reinterpret_cast<void*>(0x1), out);
    };
    IZuInterplayMobAttribute* attribute = reinterpret_cast<IZuInterplayMobAttribute*>(0x1);
    check(access->CreateMobAttribute(&attribute), attribute);
    IZuInterplayMobAttributeList* attributeList = reinterpret_cast<IZuInterplayMobAttributeList*>(0x1);
    check(access->CreateMobAttributeList(&attributeList), attributeList);
    IZuInterplayAssetDescription* description = reinterpret_cast<IZuInterplayAssetDescription*>(0x1);
    check(access->CreateAssetDescription(&description), description);
    IZuInterplayAssetsDescriptionsList* descriptions =
        reinterpret_cast<IZuInterplayAssetsDescriptionsList*>(0x1);
    check(access->CreateAssetsDescriptionsList(&descriptions), descriptions);
    IZuInterplayMobLocator* locator = reinterpret_cast<IZuInterplayMobLocator*>(0x1);
    check(access->CreateMobLocator(&locator), locator);
    IZuInterplayMobLocatorList* locators = reinterpret_cast<IZuInterplayMobLocatorList*>(0x1);
    check(access->CreateMobLocatorList(&locators), locators);
    return results;
}

class CreationSlotsTest : public ::testing::Test {
protected:
    void SetUp() override { liveBefore = CKoBaseObject::GetObjectCount(); }
    void TearDown() override {
        EXPECT_EQ(liveBefore, CKoBaseObject::GetObjectCount()) << "something was leaked";
    }

    FaultsGuard faults;
    LONG liveBefore = 0;
};

TEST_F(CreationSlotsTest, ReferencesHandedOut) {
    IZuInterplayAccess* access = MakeAccess();
    ASSERT_NE(nullptr, access);

    // The pool's reference plus the caller's: one for slots 24 to 27 ...
    IZuInterplayMobAttribute* attribute = nullptr;
    ASSERT_EQ(S_OK, access->CreateMobAttribute(&attribute));
    EXPECT_EQ(2u, RefCount(attribute));
    IZuInterplayMobAttributeList* attributeList = nullptr;
    ASSERT_EQ(S_OK, access->CreateMobAttributeList(&attributeList));
    EXPECT_EQ(2u, RefCount(attributeList));
    IZuInterplayAssetDescription* description = nullptr;
    ASSERT_EQ(S_OK, access->CreateAssetDescription(&description));
    EXPECT_EQ(2u, RefCount(description));
    IZuInterplayAssetsDescriptionsList* descriptions = nullptr;
    ASSERT_EQ(S_OK, access->CreateAssetsDescriptionsList(&descriptions));
    EXPECT_EQ(2u, RefCount(descriptions));
    // ... two for the locator slots.
    IZuInterplayMobLocator* locator = nullptr;
    ASSERT_EQ(S_OK, access->CreateMobLocator(&locator));
    EXPECT_EQ(3u, RefCount(locator));
    IZuInterplayMobLocatorList* locators = nullptr;
    ASSERT_EQ(S_OK, access->CreateMobLocatorList(&locators));
    EXPECT_EQ(3u, RefCount(locators));

    // Each is empty and of its kind.
    const wchar_t* text = nullptr;
    ASSERT_EQ(S_OK, attribute->GetName(&text));
    EXPECT_STREQ(L"", text);
    int count = -1;
    ASSERT_EQ(S_OK, locators->GetCount(&count));
    EXPECT_EQ(0, count);
    ASSERT_EQ(S_OK, locator->GetTrack(&text));
    EXPECT_STREQ(L"V1", text);

    attribute->Release();
    attributeList->Release();
    description->Release();
    descriptions->Release();
    locator->Release();
    EXPECT_EQ(2u, RefCount(locator)) << "the second reference keeps it out";
    locator->Release();
    EXPECT_EQ(1u, RefCount(locator));
    locators->Release();
    locators->Release();
    access->Release();
}

TEST_F(CreationSlotsTest, NullOutParameters) {
    IZuInterplayAccess* access = MakeAccess();
    EXPECT_EQ(ZU_E_INVALIDARG, access->CreateMobAttribute(nullptr));
    EXPECT_EQ(ZU_E_INVALIDARG, access->CreateMobAttributeList(nullptr));
    EXPECT_EQ(ZU_E_INVALIDARG, access->CreateAssetDescription(nullptr));
    EXPECT_EQ(ZU_E_INVALIDARG, access->CreateAssetsDescriptionsList(nullptr));
    EXPECT_EQ(ZU_E_INVALIDARG, access->CreateMobLocator(nullptr));
    EXPECT_EQ(ZU_E_INVALIDARG, access->CreateMobLocatorList(nullptr));
    access->Release();
}

// Without a manager the slots must not report success with nothing handed out.
TEST_F(CreationSlotsTest, WithoutAManagerEverySlotRefuses) {
    CZuInterplayObjectManager::s_testFaults.failCreate = true;
    IZuInterplayAccess* access = MakeAccess();
    ASSERT_NE(nullptr, access) << "the access object is made all the same";
    EXPECT_EQ(std::vector<HRESULT>(6, ZU_E_FAILED), CallEverySlotExpectingNoObject(access));
    access->Release();
}

TEST_F(CreationSlotsTest, KindsTheManagerCouldNotRegisterAreRefused) {
    CZuInterplayObjectManager::s_testFaults.failAllocatorKind = ZU_KIND_MOB_ATTRIBUTE;
    IZuInterplayAccess* access = MakeAccess();
    IZuInterplayMobAttribute* attribute = reinterpret_cast<IZuInterplayMobAttribute*>(0x1);
    EXPECT_EQ(ZU_E_FAILED, access->CreateMobAttribute(&attribute));
    EXPECT_EQ(reinterpret_cast<IZuInterplayMobAttribute*>(0x1), attribute);
    IZuInterplayMobLocator* locator = reinterpret_cast<IZuInterplayMobLocator*>(0x1);
    EXPECT_EQ(ZU_E_FAILED, access->CreateMobLocator(&locator));
    EXPECT_EQ(reinterpret_cast<IZuInterplayMobLocator*>(0x1), locator);

    // Kinds registered before the failure still work.
    IZuInterplayAssetDescription* description = nullptr;
    ASSERT_EQ(S_OK, access->CreateAssetDescription(&description));
    description->Release();
    access->Release();
}

TEST_F(CreationSlotsTest, TwoAccessObjectsNeverSharePooledObjects) {
    IZuInterplayAccess* first = MakeAccess();
    IZuInterplayAccess* second = MakeAccess();

    IZuInterplayMobAttribute* fromFirst = nullptr;
    ASSERT_EQ(S_OK, first->CreateMobAttribute(&fromFirst));
    fromFirst->SetValue(L"first");
    fromFirst->Release();

    // The object just returned to the first access object's pool is not
    // what the second hands out.
    IZuInterplayMobAttribute* fromSecond = nullptr;
    ASSERT_EQ(S_OK, second->CreateMobAttribute(&fromSecond));
    EXPECT_NE(fromFirst, fromSecond);
    IZuInterplayMobAttribute* again = nullptr;
    ASSERT_EQ(S_OK, first->CreateMobAttribute(&again));
    EXPECT_EQ(fromFirst, again);

    // Objects go back to the pool they came from, even after their access
    // object has gone.
    first->Release();
    again->Release();
    fromSecond->Release();
    IZuInterplayMobAttribute* secondAgain = nullptr;
    ASSERT_EQ(S_OK, second->CreateMobAttribute(&secondAgain));
    EXPECT_EQ(fromSecond, secondAgain);
    secondAgain->Release();
    second->Release();
}

} // namespace
