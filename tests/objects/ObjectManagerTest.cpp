// The object manager, the allocators and the pool life cycle of result
// objects as the diagnostics log sees it: trace lines, failure notices with
// their source units and lines, and silence when the filters are closed.
#include <functional>
#include <string>
#include <vector>

#include "CZuInterplayMobAttributeAllocator.h"
#include "KoDebugCapture.h"
#include "ObjectsTestSupport.h"
#include "ZuTexts.h"

using namespace zutest;
using kodebug::Filter;
using kodebug::Function;
using kodebug::Kind;
using kodebug::KoDebugCapture;

namespace {

// A failure notice as the log holds it, with the code as written (hex).
std::string Notice(const char* text, const char* code, const char* sourceUnit, int line) {
    return std::string(text) + " hr=" + code + ".File : " + sourceUnit + ". LINE : " + std::to_string(line);
}
std::string Notice(const ZuFailureNotice& notice, const char* code) {
    return Notice(notice.text, code, notice.sourceUnit, notice.line);
}

// An allocator whose Allocate the test decides.
class ScriptedAllocator : public IKoPoolAllocator, public CKoLightUnknown {
public:
    explicit ScriptedAllocator(std::function<HRESULT(IUnknown**)> allocate)
        : CKoLightUnknown(L"ScriptedAllocator", nullptr), m_allocate(std::move(allocate)) {}
    KO_DECLARE_DELEGATING_UNKNOWN
    STDMETHOD(Allocate)(IUnknown** out) override { return m_allocate(out); }

private:
    std::function<HRESULT(IUnknown**)> m_allocate;
};

// A result object whose Flush fails.
class FailingFlushObject : public CZuInterplayObject {
public:
    explicit FailingFlushObject(const wchar_t* name) : CZuInterplayObject(name) {}
    STDMETHOD(Flush)() override { return E_FAIL; }
};

// A result object that refuses IUnknown.
class RefusingObject : public CZuInterplayObject {
public:
    explicit RefusingObject(const wchar_t* name) : CZuInterplayObject(name) {}
    STDMETHOD(NonDelegatingQueryInterface)(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown) {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        return CZuInterplayObject::NonDelegatingQueryInterface(riid, ppv);
    }
};

std::vector<std::string> Texts(const std::vector<kodebug::Message>& messages) {
    std::vector<std::string> texts;
    for (const kodebug::Message& message : messages) texts.push_back(message.text);
    return texts;
}

class ObjectManagerTest : public ::testing::Test {
protected:
    void SetUp() override { liveBefore = CKoBaseObject::GetObjectCount(); }
    void TearDown() override {
        EXPECT_EQ(liveBefore, CKoBaseObject::GetObjectCount()) << "something was leaked";
    }
    // A manager with no pools yet, one reference.
    CZuInterplayObjectManager* MakeBareManager() {
        HRESULT hr = E_FAIL;
        CZuInterplayObjectManager* manager = CreateObjectManager(nullptr, &hr);
        EXPECT_EQ(S_OK, hr);
        manager->NonDelegatingAddRef();
        return manager;
    }
    LONG Live() const { return CKoBaseObject::GetObjectCount() - liveBefore; }

    FaultsGuard faults;
    LONG liveBefore = 0;
};

TEST_F(ObjectManagerTest, TraceLinesOfAHandOutAndAReturn) {
    IZuInterplayObjectManager* manager = MakeManager();
    KoDebugCapture capture(Filter::Open, Filter::Open);
    IZuInterplayMobAttribute* attribute = Take<IZuInterplayMobAttribute>(manager);
    attribute->Release();

    std::vector<kodebug::Message> messages = capture.messages();
    ASSERT_EQ(8u, messages.size());
    const char* expected[] = {
        "CZuInterplayObject::OnLeaveFromPool CZuInterplayMobAttribute NODE",
        "CZuInterplayObject::OnLeaveFromPool CZuInterplayMobAttribute POOL ALLOCATED: 20 USED: 1 FREE: "
        "4294967294",
        "CZuInterplayObject::OnReturnToPool CZuInterplayMobAttribute NODE",
        // The returning object still counts as used.
        "CZuInterplayObject::OnReturnToPool CZuInterplayMobAttribute POOL ALLOCATED: 20 USED: 1 FREE: "
        "4294967294",
    };
    for (size_t i = 0; i < messages.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(i % 2 == 0 ? Kind::Live : Kind::File, messages[i].kind) << "each line to both logs";
        EXPECT_EQ(6017, messages[i].category);
        EXPECT_EQ(1, messages[i].level);
        EXPECT_EQ(expected[i / 2], messages[i].text);
    }
    manager->Release();
}

TEST_F(ObjectManagerTest, EachKindIsLoggedUnderItsObjectName) {
    IZuInterplayObjectManager* manager = MakeManager();
    const char* names[] = {"CZuInterplayAssetDescription", "CZuInterplayAssetsDescriptionsList",
                           "CZuInterplayMobAttribute",     "CZuInterplayMobAttributeList",
                           "CZuInterPlayMobLocator",       "CZuInterplayMobLocatorList"};
    for (unsigned kind = 0; kind < 6; ++kind) {
        KoDebugCapture capture(Filter::Open, Filter::Closed);
        IZuInterplayObject* object = nullptr;
        ASSERT_EQ(S_OK, manager->GetInterplayObject(kind, &object));
        object->Release();
        EXPECT_EQ(std::string("CZuInterplayObject::OnLeaveFromPool ") + names[kind] + " NODE",
                  Texts(capture.messages()).at(0));
    }
    manager->Release();
}

TEST_F(ObjectManagerTest, ClosedFiltersMeanOnlyFilterCalls) {
    IZuInterplayObjectManager* manager = MakeManager();
    KoDebugCapture capture(Filter::Closed, Filter::Closed);
    IZuInterplayObject* object = nullptr;
    ASSERT_EQ(S_OK, manager->GetInterplayObject(ZU_KIND_ASSET_DESCRIPTION, &object));
    object->Release();
    // Two lines on the way out, two on the way back; each asks both filters.
    EXPECT_EQ(4u, capture.calls(Function::FilterLogMessage));
    EXPECT_EQ(4u, capture.calls(Function::FilterLogToFile));
    EXPECT_EQ(8u, capture.totalCalls());
    EXPECT_TRUE(capture.messages().empty());
    manager->Release();
}

TEST_F(ObjectManagerTest, KindsWithoutAPool) {
    IZuInterplayObjectManager* manager = MakeManager();
    KoDebugCapture capture;
    IZuInterplayObject* sentinel = reinterpret_cast<IZuInterplayObject*>(0x1);
    IZuInterplayObject* object = sentinel;
    EXPECT_EQ(ZU_E_FAILED, manager->GetInterplayObject(6, &object));
    EXPECT_EQ(ZU_E_FAILED, manager->GetInterplayObject(0xFFFFFFFFu, &object));
    EXPECT_EQ(sentinel, object);
    EXPECT_EQ(ZU_E_INVALIDARG, manager->GetInterplayObject(0, nullptr));
    EXPECT_TRUE(capture.messages().empty()) << "no log line for an unknown kind";
    manager->Release();
}

TEST_F(ObjectManagerTest, RegistrationRefusals) {
    CZuInterplayObjectManager* manager = MakeBareManager();
    IKoPoolAllocator* allocator = new CZuInterplayMobAttributeAllocator();
    KoDebugCapture capture;

    EXPECT_EQ(ZU_E_INVALIDARG, manager->AddAllocatorToPoolManagers(allocator, L"Pool", 6));
    EXPECT_TRUE(capture.messages().empty());
    EXPECT_EQ(ZU_E_INVALIDPOINTER, manager->AddAllocatorToPoolManagers(nullptr, L"Pool", 2));
    EXPECT_EQ(std::vector<std::string>{Notice(ZU_NOTICE_INVALID_ALLOCATOR, "88888045")},
              Texts(capture.messages(Kind::NoticeWithFile)));
    IZuInterplayObject* object = nullptr;
    EXPECT_EQ(ZU_E_FAILED, manager->GetInterplayObject(2, &object)) << "nothing was registered";
    EXPECT_EQ(2, Live()) << "no pool was made";

    allocator->Release();
    manager->NonDelegatingRelease();
}

TEST_F(ObjectManagerTest, ARegistrationReplacesTheKindsPool) {
    CZuInterplayObjectManager* manager = MakeBareManager();
    IKoPoolAllocator* allocator = new CZuInterplayMobAttributeAllocator();
    ASSERT_EQ(S_OK, manager->AddAllocatorToPoolManagers(allocator, L"First", 2));
    IZuInterplayMobAttribute* fromFirst = Take<IZuInterplayMobAttribute>(manager);
    ASSERT_EQ(S_OK, manager->AddAllocatorToPoolManagers(allocator, L"Second", 2));
    IZuInterplayMobAttribute* fromSecond = Take<IZuInterplayMobAttribute>(manager);
    allocator->Release();
    EXPECT_EQ(1 + 1 + 2 + 40, Live()) << "manager, allocator, two pools of 20";

    // The replaced pool lives while its object is out, then goes with all of
    // its objects.
    fromFirst->Release();
    EXPECT_EQ(1 + 1 + 1 + 20, Live());
    fromSecond->Release();
    manager->NonDelegatingRelease();
}

TEST_F(ObjectManagerTest, InitializeStopsAtTheFirstFailure) {
    CZuInterplayObjectManager::s_testFaults.failAllocatorKind = 1;
    CZuInterplayObjectManager* manager = MakeBareManager();
    KoDebugCapture capture(Filter::Closed, Filter::Closed);
    EXPECT_EQ(ZU_E_INVALIDPOINTER, manager->Initialize());
    std::vector<std::string> notices = Texts(capture.messages(Kind::NoticeWithFile));
    ASSERT_EQ(2u, notices.size());
    EXPECT_EQ(Notice(ZU_NOTICE_INVALID_ALLOCATOR, "88888045"), notices[0]);
    EXPECT_EQ(Notice(ZU_NOTICE_ADD_ALLOCATOR_FAILED, "88888045"), notices[1]);

    IZuInterplayObject* object = nullptr;
    ASSERT_EQ(S_OK, manager->GetInterplayObject(0, &object)) << "the kind before the failure stays";
    object->Release();
    for (unsigned kind = 1; kind < 6; ++kind)
        EXPECT_EQ(ZU_E_FAILED, manager->GetInterplayObject(kind, &object));
    // Every allocator made was released; only kind 0's lives on in its pool.
    EXPECT_EQ(1 + 1 + 1 + 20, Live());
    manager->NonDelegatingRelease();
}

TEST_F(ObjectManagerTest, PoolThatCannotBeMade) {
    CZuInterplayObjectManager::s_testFaults.failPoolKind = 3;
    CZuInterplayObjectManager* manager = MakeBareManager();
    KoDebugCapture capture(Filter::Closed, Filter::Closed);
    EXPECT_EQ(ZU_E_OUTOFMEMORY, manager->Initialize());
    std::vector<std::string> notices = Texts(capture.messages(Kind::NoticeWithFile));
    ASSERT_EQ(2u, notices.size());
    EXPECT_EQ(Notice(ZU_NOTICE_POOL_CREATION_FAILED, "88888043"), notices[0]);
    EXPECT_EQ(Notice(ZU_NOTICE_ADD_ALLOCATOR_FAILED, "88888043"), notices[1]);
    IZuInterplayObject* object = nullptr;
    for (unsigned kind = 0; kind < 6; ++kind) {
        HRESULT hr = manager->GetInterplayObject(kind, &object);
        EXPECT_EQ(kind < 3 ? S_OK : ZU_E_FAILED, hr) << kind;
        if (SUCCEEDED(hr)) object->Release();
    }
    EXPECT_EQ(1 + 3 + 3 + 60, Live());
    manager->NonDelegatingRelease();
}

TEST_F(ObjectManagerTest, PoolThatCannotHandOut) {
    CZuInterplayObjectManager* manager = MakeBareManager();
    IKoPoolAllocator* allocator = new ScriptedAllocator([](IUnknown**) { return ZU_E_OUTOFMEMORY; });
    KoDebugCapture capture(Filter::Closed, Filter::Closed);
    ASSERT_EQ(S_OK, manager->AddAllocatorToPoolManagers(allocator, L"Empty", 2));
    EXPECT_TRUE(capture.messages().empty()) << "a failed initial fill is silent";
    allocator->Release();

    IZuInterplayObject* sentinel = reinterpret_cast<IZuInterplayObject*>(0x1);
    IZuInterplayObject* object = sentinel;
    EXPECT_EQ(ZU_E_OUTOFMEMORY, manager->GetInterplayObject(2, &object));
    EXPECT_EQ(sentinel, object);
    EXPECT_EQ(std::vector<std::string>{Notice(ZU_NOTICE_GET_TYPED_ELEMENT, "88888043")},
              Texts(capture.messages(Kind::NoticeWithFile)));
    manager->NonDelegatingRelease();
}

TEST_F(ObjectManagerTest, AllocatorGivesUpAnObjectThatRefusesIUnknown) {
    KoDebugCapture capture(Filter::Closed, Filter::Closed);
    IUnknown* sentinel = reinterpret_cast<IUnknown*>(0x1);
    IUnknown* out = sentinel;
    EXPECT_EQ(E_NOINTERFACE, CZuInterplayObject::Allocate<RefusingObject>(
                                 L"Refusing", ZU_UNIT_MOB_ATTRIBUTE_ALLOCATOR, &out));
    EXPECT_EQ(sentinel, out);
    EXPECT_EQ(0, Live()) << "the object was given up";
    EXPECT_EQ(
        std::vector<std::string>{Notice(ZU_NOTICE_ALLOCATE_FAILED, "80004002",
                                        ZU_UNIT_MOB_ATTRIBUTE_ALLOCATOR, ZU_NOTICE_ALLOCATE_FAILED_LINE)},
        Texts(capture.messages(Kind::NoticeWithFile)));

    // The locator allocators write nothing.
    capture.clear();
    EXPECT_EQ(E_NOINTERFACE, CZuInterplayObject::Allocate<RefusingObject>(L"Refusing", nullptr, &out));
    EXPECT_TRUE(capture.messages().empty());
    EXPECT_EQ(0, Live());
}

TEST_F(ObjectManagerTest, FailedFlushIsNoticedAndTheObjectStillReturns) {
    CZuInterplayObjectManager* manager = MakeBareManager();
    IKoPoolAllocator* allocator = new ScriptedAllocator([](IUnknown** out) {
        return CZuInterplayObject::Allocate<FailingFlushObject>(L"FailingFlush", nullptr, out);
    });
    ASSERT_EQ(S_OK, manager->AddAllocatorToPoolManagers(allocator, L"FailingFlushPool", 0));
    allocator->Release();

    KoDebugCapture capture(Filter::Closed, Filter::Closed);
    IZuInterplayObject* object = nullptr;
    ASSERT_EQ(S_OK, manager->GetInterplayObject(0, &object));
    IZuInterplayObject* first = object;
    object->Release();
    EXPECT_EQ(std::vector<std::string>{std::string(ZU_NOTICE_FLUSH_FAILED) + " hr=80004005."},
              Texts(capture.messages(Kind::Notice)));
    EXPECT_EQ(1u, RefCount(first));
    ASSERT_EQ(S_OK, manager->GetInterplayObject(0, &object));
    EXPECT_EQ(first, object) << "filed in its pool all the same";
    object->Release();
    manager->NonDelegatingRelease();
}

TEST_F(ObjectManagerTest, ObjectsOutliveTheirManager) {
    IZuInterplayObjectManager* manager = MakeManager();
    EXPECT_EQ(1 + 6 * (1 + 1 + 20), Live()) << "six pools of 20, each with its allocator";
    IZuInterplayMobAttribute* attribute = Take<IZuInterplayMobAttribute>(manager);
    manager->Release();
    EXPECT_EQ(1 + 1 + 20, Live()) << "only the attribute pool is left";
    EXPECT_EQ(S_OK, attribute->SetValue(L"still usable"));
    attribute->Release();
    EXPECT_EQ(0, Live());
}

} // namespace
