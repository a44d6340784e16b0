// The six result object kinds through their public interfaces: texts and
// their limits, reference rules and what a return to the pool keeps.
#include <algorithm>
#include <string>
#include <vector>

#include "ObjectsTestSupport.h"

using namespace zutest;

namespace {

class ResultObjectsTest : public ::testing::Test {
protected:
    void SetUp() override {
        liveBefore = CKoBaseObject::GetObjectCount();
        manager = MakeManager();
        ASSERT_NE(nullptr, manager);
    }
    void TearDown() override {
        if (manager) manager->Release();
        EXPECT_EQ(liveBefore, CKoBaseObject::GetObjectCount()) << "something was leaked";
    }

    LONG liveBefore = 0;
    IZuInterplayObjectManager* manager = nullptr;
};

// {0B9A1C5D-2E3F-4A6B-8C7D-9E0F1A2B3C4D}
constexpr IID OtherIID = {0x0B9A1C5D, 0x2E3F, 0x4A6B, {0x8C, 0x7D, 0x9E, 0x0F, 0x1A, 0x2B, 0x3C, 0x4D}};

TEST_F(ResultObjectsTest, EveryKindAnswersItsInterfaces) {
    const IID* ids[] = {&IID_IZuInterplayAssetDescription, &IID_IZuInterplayAssetsDescriptionsList,
                        &IID_IZuInterplayMobAttribute,     &IID_IZuInterplayMobAttributeList,
                        &IID_IZuInterplayMobLocator,       &IID_IZuInterplayMobLocatorList};
    for (unsigned kind = 0; kind < 6; ++kind) {
        SCOPED_TRACE(kind);
        IZuInterplayObject* object = nullptr;
        ASSERT_EQ(S_OK, manager->GetInterplayObject(kind, &object));
        EXPECT_EQ(2u, RefCount(object));
        for (const IID* iid : {ids[kind], &IID_IZuInterplayObject, &IID_IKoCOMPoolElement, &IID_IUnknown}) {
            IUnknown* face = nullptr;
            ASSERT_EQ(S_OK, object->QueryInterface(*iid, reinterpret_cast<void**>(&face)));
            EXPECT_EQ(3u, RefCount(face)) << "each answer adds one reference";
            face->Release();
        }
        // Another kind's interface is refused.
        IUnknown* foreign = reinterpret_cast<IUnknown*>(0x1);
        EXPECT_EQ(E_NOINTERFACE,
                  object->QueryInterface(*ids[(kind + 1) % 6], reinterpret_cast<void**>(&foreign)));
        EXPECT_EQ(nullptr, foreign);
        EXPECT_EQ(E_NOINTERFACE, object->QueryInterface(OtherIID, reinterpret_cast<void**>(&foreign)));
        EXPECT_EQ(S_OK, object->Flush());
        EXPECT_EQ(S_OK, object->Reserved4());
        object->Release();
    }
}

TEST_F(ResultObjectsTest, AttributeTextsAndTheirLimits) {
    IZuInterplayMobAttribute* attribute = Take<IZuInterplayMobAttribute>(manager);
    ASSERT_NE(nullptr, attribute);
    const wchar_t* text = nullptr;
    ASSERT_EQ(S_OK, attribute->GetValue(&text));
    EXPECT_STREQ(L"", text);
    ASSERT_EQ(S_OK, attribute->GetGroup(&text));
    EXPECT_STREQ(L"", text);
    ASSERT_EQ(S_OK, attribute->GetName(&text));
    EXPECT_STREQ(L"", text);

    struct Field {
        HRESULT (STDMETHODCALLTYPE IZuInterplayMobAttribute::*set)(const wchar_t*);
        HRESULT (STDMETHODCALLTYPE IZuInterplayMobAttribute::*get)(const wchar_t**);
        size_t longest;
    };
    const Field fields[] = {
        {&IZuInterplayMobAttribute::SetValue, &IZuInterplayMobAttribute::GetValue, 259},
        {&IZuInterplayMobAttribute::SetGroup, &IZuInterplayMobAttribute::GetGroup, 15},
        {&IZuInterplayMobAttribute::SetName, &IZuInterplayMobAttribute::GetName, 127},
    };
    for (const Field& field : fields) {
        SCOPED_TRACE(field.longest);
        std::wstring whole = Repeat(L'\x4E2D', field.longest - 1) + L"z";
        ASSERT_EQ(S_OK, (attribute->*field.set)(whole.c_str()));
        ASSERT_EQ(S_OK, (attribute->*field.get)(&text));
        EXPECT_EQ(whole, text) << "a text of the field's length is kept whole";

        std::wstring longer = whole + L"!!";
        ASSERT_EQ(S_OK, (attribute->*field.set)(longer.c_str()));
        ASSERT_EQ(S_OK, (attribute->*field.get)(&text));
        EXPECT_EQ(whole, text) << "a longer text is cut to the field";

        EXPECT_EQ(ZU_E_INVALIDARG, (attribute->*field.set)(nullptr));
        ASSERT_EQ(S_OK, (attribute->*field.get)(&text));
        EXPECT_EQ(whole, text) << "a refused text changes nothing";
        EXPECT_EQ(ZU_E_INVALIDARG, (attribute->*field.get)(nullptr));

        std::wstring pair = Repeat(L'\x4E2D', field.longest - 1) + L"\xD83D\xDE00";
        ASSERT_EQ(S_OK, (attribute->*field.set)(pair.c_str()));
        ASSERT_EQ(S_OK, (attribute->*field.get)(&text));
        EXPECT_EQ(pair.substr(0, field.longest - 1), text) << "a cut never splits a surrogate pair";
    }
    // The getter's pointer may be handed back to the setter.
    ASSERT_EQ(S_OK, attribute->SetName(L"Tape"));
    ASSERT_EQ(S_OK, attribute->GetName(&text));
    ASSERT_EQ(S_OK, attribute->SetName(text));
    ASSERT_EQ(S_OK, attribute->GetName(&text));
    EXPECT_STREQ(L"Tape", text);

    // Back from the pool it is blank again.
    IZuInterplayMobAttribute* previous = attribute;
    attribute->Release();
    attribute = Take<IZuInterplayMobAttribute>(manager);
    ASSERT_EQ(previous, attribute);
    for (const Field& field : fields) {
        ASSERT_EQ(S_OK, (attribute->*field.get)(&text));
        EXPECT_STREQ(L"", text);
    }
    attribute->Release();
}

TEST_F(ResultObjectsTest, AttributeListHoldsAndHandsOutReferences) {
    IZuInterplayMobAttributeList* list = Take<IZuInterplayMobAttributeList>(manager);
    ASSERT_NE(nullptr, list);
    std::vector<IZuInterplayMobAttribute*> items;
    for (int i = 0; i < 3; ++i) {
        items.push_back(Take<IZuInterplayMobAttribute>(manager));
        ASSERT_EQ(S_OK, list->Add(items.back()));
        EXPECT_EQ(3u, RefCount(items.back()));
    }
    ASSERT_EQ(S_OK, list->Add(items[0])) << "duplicates are allowed";
    EXPECT_EQ(S_FALSE, list->Add(nullptr));
    int count = 0;
    ASSERT_EQ(S_OK, list->GetCount(&count));
    EXPECT_EQ(4, count);

    for (int i = 0; i < 3; ++i) {
        IZuInterplayMobAttribute* item = nullptr;
        ASSERT_EQ(S_OK, list->GetItem(i, &item));
        EXPECT_EQ(items[static_cast<size_t>(i)], item);
        EXPECT_EQ(i == 0 ? 5u : 4u, RefCount(item)) << "GetItem adds one";
        item->Release();
    }
    IZuInterplayMobAttribute* sentinel = reinterpret_cast<IZuInterplayMobAttribute*>(0x1);
    for (int index : {-1, 4, 1000}) {
        IZuInterplayMobAttribute* item = sentinel;
        EXPECT_EQ(ZU_E_INVALIDARG, list->GetItem(index, &item)) << index;
        EXPECT_EQ(sentinel, item);
    }
    EXPECT_EQ(ZU_E_INVALIDARG, list->GetItem(0, nullptr));
    EXPECT_EQ(ZU_E_INVALIDARG, list->GetCount(nullptr));

    EXPECT_EQ(S_OK, list->Reserved6());
    ASSERT_EQ(S_OK, list->GetCount(&count));
    EXPECT_EQ(4, count);

    // Items held only by the list go back to their pool on RemoveAll.
    items[1]->Release();
    items[2]->Release();
    ASSERT_EQ(S_OK, list->RemoveAll());
    ASSERT_EQ(S_OK, list->GetCount(&count));
    EXPECT_EQ(0, count);
    EXPECT_EQ(2u, RefCount(items[0])) << "the list's two references are gone";
    EXPECT_EQ(1u, RefCount(items[1])) << "back in its pool";
    EXPECT_EQ(items[2], Take<IZuInterplayMobAttribute>(manager)) << "the last returned goes out first";
    EXPECT_EQ(items[1], Take<IZuInterplayMobAttribute>(manager));
    items[0]->Release();
    items[1]->Release();
    items[2]->Release();
    list->Release();
}

TEST_F(ResultObjectsTest, DescriptionKeepsItsUriAndDropsItsList) {
    IZuInterplayAssetDescription* description = Take<IZuInterplayAssetDescription>(manager);
    ASSERT_NE(nullptr, description);
    IZuInterplayMobAttributeList* sentinel = reinterpret_cast<IZuInterplayMobAttributeList*>(0x1);
    IZuInterplayMobAttributeList* held = sentinel;
    EXPECT_EQ(S_FALSE, description->GetAttributeList(&held));
    EXPECT_EQ(sentinel, held);

    std::wstring uri = L"interplay://ws/" + Repeat(L'a', 244); // 259 characters
    ASSERT_EQ(259u, uri.size());
    ASSERT_EQ(S_OK, description->SetInterplayURI((uri + L"/x").c_str()));
    const wchar_t* text = nullptr;
    ASSERT_EQ(S_OK, description->GetInterplayURI(&text));
    EXPECT_EQ(uri, text) << "cut to 259 characters";
    EXPECT_EQ(ZU_E_INVALIDARG, description->SetInterplayURI(nullptr));
    ASSERT_EQ(S_OK, description->GetInterplayURI(&text));
    EXPECT_EQ(uri, text);
    EXPECT_EQ(ZU_E_INVALIDARG, description->GetInterplayURI(nullptr));
    EXPECT_EQ(ZU_E_INVALIDARG, description->GetAttributeList(nullptr));

    IZuInterplayMobAttributeList* a = Take<IZuInterplayMobAttributeList>(manager);
    IZuInterplayMobAttributeList* b = Take<IZuInterplayMobAttributeList>(manager);
    ASSERT_EQ(S_OK, description->SetAttributeList(a));
    EXPECT_EQ(3u, RefCount(a));
    ASSERT_EQ(S_OK, description->SetAttributeList(a));
    EXPECT_EQ(3u, RefCount(a)) << "setting the held list again changes nothing";
    EXPECT_EQ(S_FALSE, description->SetAttributeList(nullptr));
    ASSERT_EQ(S_OK, description->GetAttributeList(&held));
    EXPECT_EQ(a, held) << "a null list leaves the held one";
    EXPECT_EQ(4u, RefCount(a));
    held->Release();

    ASSERT_EQ(S_OK, description->SetAttributeList(b));
    EXPECT_EQ(2u, RefCount(a));
    EXPECT_EQ(3u, RefCount(b));
    a->Release();
    b->Release();

    // The return releases b, which goes back to its pool; the URI stays.
    IZuInterplayAssetDescription* previous = description;
    description->Release();
    EXPECT_EQ(1u, RefCount(b));
    description = Take<IZuInterplayAssetDescription>(manager);
    ASSERT_EQ(previous, description);
    held = sentinel;
    EXPECT_EQ(S_FALSE, description->GetAttributeList(&held));
    EXPECT_EQ(sentinel, held);
    ASSERT_EQ(S_OK, description->GetInterplayURI(&text));
    EXPECT_EQ(uri, text);
    description->Release();
}

TEST_F(ResultObjectsTest, DescriptionListHoldsAndHandsOutReferences) {
    IZuInterplayAssetsDescriptionsList* list = Take<IZuInterplayAssetsDescriptionsList>(manager);
    ASSERT_NE(nullptr, list);
    std::vector<IZuInterplayAssetDescription*> items;
    for (int i = 0; i < 3; ++i) {
        items.push_back(Take<IZuInterplayAssetDescription>(manager));
        ASSERT_EQ(S_OK, list->Add(items.back()));
    }
    EXPECT_EQ(S_FALSE, list->Add(nullptr));
    int count = 0;
    ASSERT_EQ(S_OK, list->GetCount(&count));
    EXPECT_EQ(3, count);
    for (int i = 0; i < 3; ++i) {
        IZuInterplayAssetDescription* item = nullptr;
        ASSERT_EQ(S_OK, list->GetItem(i, &item));
        EXPECT_EQ(items[static_cast<size_t>(i)], item);
        EXPECT_EQ(4u, RefCount(item));
        item->Release();
    }
    IZuInterplayAssetDescription* sentinel = reinterpret_cast<IZuInterplayAssetDescription*>(0x1);
    IZuInterplayAssetDescription* item = sentinel;
    EXPECT_EQ(ZU_E_INVALIDARG, list->GetItem(3, &item));
    EXPECT_EQ(ZU_E_INVALIDARG, list->GetItem(-1, &item));
    EXPECT_EQ(sentinel, item);
    EXPECT_EQ(ZU_E_INVALIDARG, list->GetItem(0, nullptr));
    EXPECT_EQ(ZU_E_INVALIDARG, list->GetCount(nullptr));
    for (IZuInterplayAssetDescription* description : items) description->Release();
    list->Release();
    for (IZuInterplayAssetDescription* description : items) EXPECT_EQ(1u, RefCount(description));
}

// Releasing a filled list sends every description, attribute list and
// attribute back to its pool, one pool at a time.
TEST_F(ResultObjectsTest, ReleasingAFilledListReturnsEverything) {
    IZuInterplayAssetsDescriptionsList* list = Take<IZuInterplayAssetsDescriptionsList>(manager);
    std::vector<IUnknown*> everything{list};
    std::vector<IZuInterplayAssetDescription*> descriptions;
    std::vector<IZuInterplayMobAttributeList*> attributeLists;
    std::vector<IZuInterplayMobAttribute*> attributes;
    for (int d = 0; d < 3; ++d) {
        IZuInterplayAssetDescription* description = Take<IZuInterplayAssetDescription>(manager);
        IZuInterplayMobAttributeList* attributeList = Take<IZuInterplayMobAttributeList>(manager);
        for (int a = 0; a < 4; ++a) {
            IZuInterplayMobAttribute* attribute = Take<IZuInterplayMobAttribute>(manager);
            attribute->SetName(L"Name");
            attributeList->Add(attribute);
            attributes.push_back(attribute);
            attribute->Release();
        }
        description->SetAttributeList(attributeList);
        list->Add(description);
        descriptions.push_back(description);
        attributeLists.push_back(attributeList);
        attributeList->Release();
        description->Release();
    }
    for (auto* p : descriptions) EXPECT_EQ(2u, RefCount(p));
    for (auto* p : attributes) EXPECT_EQ(2u, RefCount(p));

    list->Release();
    EXPECT_EQ(1u, RefCount(list));
    for (auto* p : descriptions) EXPECT_EQ(1u, RefCount(p)) << "description back in its pool";
    for (auto* p : attributeLists) EXPECT_EQ(1u, RefCount(p)) << "attribute list back in its pool";
    for (auto* p : attributes) EXPECT_EQ(1u, RefCount(p)) << "attribute back in its pool";

    // And each is handed out again, blank where its kind blanks.
    IZuInterplayMobAttribute* again = Take<IZuInterplayMobAttribute>(manager);
    EXPECT_NE(attributes.end(), std::find(attributes.begin(), attributes.end(), again));
    const wchar_t* name = nullptr;
    again->GetName(&name);
    EXPECT_STREQ(L"", name);
    again->Release();
}

TEST_F(ResultObjectsTest, LocatorDefaultsLimitsAndWhatAReturnKeeps) {
    IZuInterplayMobLocator* locator = Take<IZuInterplayMobLocator>(manager);
    ASSERT_NE(nullptr, locator);
    int id = -1;
    int64_t frame = -1;
    const wchar_t* text = nullptr;
    ASSERT_EQ(S_OK, locator->GetLocatorID(&id));
    EXPECT_EQ(0, id);
    ASSERT_EQ(S_OK, locator->GetFrameNumber(&frame));
    EXPECT_EQ(0, frame);
    ASSERT_EQ(S_OK, locator->GetColor(&text));
    EXPECT_STREQ(L"Blue", text);
    ASSERT_EQ(S_OK, locator->GetTrack(&text));
    EXPECT_STREQ(L"V1", text);
    for (auto get : {&IZuInterplayMobLocator::GetTimecode, &IZuInterplayMobLocator::GetUsername,
                     &IZuInterplayMobLocator::GetComment}) {
        ASSERT_EQ(S_OK, (locator->*get)(&text));
        EXPECT_STREQ(L"", text);
    }

    struct Field {
        HRESULT (STDMETHODCALLTYPE IZuInterplayMobLocator::*set)(const wchar_t*);
        HRESULT (STDMETHODCALLTYPE IZuInterplayMobLocator::*get)(const wchar_t**);
        size_t longest;
    };
    const Field fields[] = {
        {&IZuInterplayMobLocator::SetTimecode, &IZuInterplayMobLocator::GetTimecode, 29},
        {&IZuInterplayMobLocator::SetUsername, &IZuInterplayMobLocator::GetUsername, 259},
        {&IZuInterplayMobLocator::SetComment, &IZuInterplayMobLocator::GetComment, 259},
        {&IZuInterplayMobLocator::SetColor, &IZuInterplayMobLocator::GetColor, 19},
        {&IZuInterplayMobLocator::SetTrack, &IZuInterplayMobLocator::GetTrack, 9},
    };
    for (const Field& field : fields) {
        SCOPED_TRACE(field.longest);
        std::wstring whole = Repeat(L'\x6587', field.longest);
        ASSERT_EQ(S_OK, (locator->*field.set)((whole + L"x").c_str()));
        ASSERT_EQ(S_OK, (locator->*field.get)(&text));
        EXPECT_EQ(whole, text) << "cut to the field";
        ASSERT_EQ(S_OK, (locator->*field.set)(whole.c_str()));
        ASSERT_EQ(S_OK, (locator->*field.get)(&text));
        EXPECT_EQ(whole, text) << "kept whole";
        EXPECT_EQ(ZU_E_INVALIDARG, (locator->*field.set)(nullptr));
        ASSERT_EQ(S_OK, (locator->*field.get)(&text));
        EXPECT_EQ(whole, text) << "a refused text changes nothing";
        EXPECT_EQ(ZU_E_INVALIDARG, (locator->*field.get)(nullptr));
    }
    EXPECT_EQ(ZU_E_INVALIDARG, locator->GetLocatorID(nullptr));
    EXPECT_EQ(ZU_E_INVALIDARG, locator->GetFrameNumber(nullptr));

    ASSERT_EQ(S_OK, locator->SetLocatorID(-7));
    ASSERT_EQ(S_OK, locator->SetFrameNumber((int64_t{1} << 40) + 3));
    ASSERT_EQ(S_OK, locator->SetColor(L"Red"));
    ASSERT_EQ(S_OK, locator->SetTrack(L"A2"));
    ASSERT_EQ(S_OK, locator->SetComment(L"cut here"));

    IZuInterplayMobLocator* previous = locator;
    locator->Release();
    locator = Take<IZuInterplayMobLocator>(manager);
    ASSERT_EQ(previous, locator);
    ASSERT_EQ(S_OK, locator->GetLocatorID(&id));
    EXPECT_EQ(-7, id);
    ASSERT_EQ(S_OK, locator->GetFrameNumber(&frame));
    EXPECT_EQ((int64_t{1} << 40) + 3, frame);
    ASSERT_EQ(S_OK, locator->GetColor(&text));
    EXPECT_STREQ(L"Red", text);
    ASSERT_EQ(S_OK, locator->GetTrack(&text));
    EXPECT_STREQ(L"A2", text);
    ASSERT_EQ(S_OK, locator->GetComment(&text));
    EXPECT_STREQ(L"cut here", text);
    locator->Release();
}

TEST_F(ResultObjectsTest, LocatorListHandsOutItsOwnPointers) {
    IZuInterplayMobLocatorList* list = Take<IZuInterplayMobLocatorList>(manager);
    ASSERT_NE(nullptr, list);
    IZuInterplayMobLocator* first = Take<IZuInterplayMobLocator>(manager);
    IZuInterplayMobLocator* second = Take<IZuInterplayMobLocator>(manager);
    ASSERT_EQ(S_OK, list->Add(first));
    ASSERT_EQ(S_OK, list->Add(second));
    EXPECT_EQ(S_FALSE, list->Add(nullptr));
    int count = 0;
    ASSERT_EQ(S_OK, list->GetCount(&count));
    EXPECT_EQ(2, count);

    IZuInterplayMobLocator* item = nullptr;
    ASSERT_EQ(S_OK, list->GetItem(0, &item));
    EXPECT_EQ(first, item);
    ASSERT_EQ(S_OK, list->GetItem(1, &item));
    EXPECT_EQ(second, item);
    EXPECT_EQ(3u, RefCount(first)) << "GetItem adds no reference";
    EXPECT_EQ(3u, RefCount(second));

    IZuInterplayMobLocator* sentinel = reinterpret_cast<IZuInterplayMobLocator*>(0x1);
    item = sentinel;
    EXPECT_EQ(ZU_E_INVALIDARG, list->GetItem(2, &item));
    EXPECT_EQ(ZU_E_INVALIDARG, list->GetItem(-1, &item));
    EXPECT_EQ(sentinel, item);
    EXPECT_EQ(ZU_E_INVALIDARG, list->GetItem(0, nullptr));
    EXPECT_EQ(ZU_E_INVALIDARG, list->GetCount(nullptr));

    // The list's return releases its references; the locators stay out while
    // their holders keep them.
    list->Release();
    EXPECT_EQ(2u, RefCount(first));
    first->Release();
    second->Release();
    EXPECT_EQ(1u, RefCount(first));
}

} // namespace
