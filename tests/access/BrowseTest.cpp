// Listing a folder and searching against a scripted server: the requests, the
// search settings, and the asset description lists both are answered with.
#include "ServiceTestSupport.h"

using namespace service_test;

namespace {

const char* const kChildrenLine = ZU_LOG_GET_CHILDREN;
const char* const kSearchLine = ZU_LOG_CHECKINAAF_FALSE;

typedef std::vector<std::vector<std::wstring>> AttributeValues;

struct Asset {
    std::wstring uri;
    AttributeValues attributes;
    bool operator==(const Asset& o) const { return uri == o.uri && attributes == o.attributes; }
};

std::ostream& operator<<(std::ostream& out, const Asset& asset) {
    return out << testing::PrintToString(asset.uri) << " " << testing::PrintToString(asset.attributes);
}

std::string Attribute(const std::string& group, const std::string& name, const std::string& value) {
    return "<types:Attribute Group=\"" + group + "\" Name=\"" + name + "\">" + value + "</types:Attribute>";
}

std::string Description(const std::string& uri, const std::string& attributes) {
    return "<types:AssetDescription><types:InterplayURI>" + uri + "</types:InterplayURI>" + attributes +
           "</types:AssetDescription>";
}

// Three assets: CJK URI and values, one without attributes, one with an
// empty attribute list.
std::string ThreeAssets() {
    return "<types:Results>" +
           Description("interplay://WG/\xe7\xb4\xa0\xe6\x9d\x90",
                       "<types:Attributes>" + Attribute("USER", "Title", "\xe6\x96\xb0\xe9\x97\xbb") +
                           Attribute("USER", "\xe5\xb1\x9e\xe6\x80\xa7", "2") +
                           Attribute("SYSTEM", "Type", "masterclip") + "</types:Attributes>") +
           Description("interplay://WG/folder", "") +
           Description("interplay://WG/empty", "<types:Attributes/>") + "</types:Results>";
}

const std::vector<Asset> kThreeAssets = {
    {L"interplay://WG/\x7D20\x6750",
     {{L"USER", L"Title", L"\x65B0\x95FB"},
      {L"USER", L"\x5C5E\x6027", L"2"},
      {L"SYSTEM", L"Type", L"masterclip"}}},
    {L"interplay://WG/folder", {}},
    {L"interplay://WG/empty", {}},
};

// What a description list carries, checking the references on the way: each
// description held by the list, each attribute list by its description, each
// attribute by its attribute list (the pool's own besides; GetItem and
// GetAttributeList add the reader's).
std::vector<Asset> Read(IZuInterplayAssetsDescriptionsList* list) {
    std::vector<Asset> assets;
    EXPECT_EQ(2u, RefCount(list));
    int count = -1;
    EXPECT_EQ(S_OK, list->GetCount(&count));
    for (int i = 0; i < count; ++i) {
        IZuInterplayAssetDescription* description = nullptr;
        EXPECT_EQ(S_OK, list->GetItem(i, &description));
        EXPECT_EQ(3u, RefCount(description));
        Asset asset;
        const wchar_t* uri = nullptr;
        description->GetInterplayURI(&uri);
        asset.uri = uri;
        IZuInterplayMobAttributeList* attributes = nullptr;
        EXPECT_EQ(S_OK, description->GetAttributeList(&attributes)) << "every description has a list";
        if (attributes) {
            EXPECT_EQ(3u, RefCount(attributes));
            int n = -1;
            attributes->GetCount(&n);
            for (int a = 0; a < n; ++a) {
                IZuInterplayMobAttribute* attribute = nullptr;
                attributes->GetItem(a, &attribute);
                EXPECT_EQ(3u, RefCount(attribute));
                const wchar_t *group, *name, *value;
                attribute->GetGroup(&group);
                attribute->GetName(&name);
                attribute->GetValue(&value);
                asset.attributes.push_back({group, name, value});
                attribute->Release();
            }
            attributes->Release();
        }
        description->Release();
        assets.push_back(asset);
    }
    return assets;
}

// The objects out of the pools while a list of kThreeAssets is held.
PoolUse ThreeAssetsInUse() {
    PoolUse use;
    use.kinds[ZU_KIND_ASSETS_DESCRIPTIONS_LIST] = 1;
    use.kinds[ZU_KIND_ASSET_DESCRIPTION] = 3;
    use.kinds[ZU_KIND_MOB_ATTRIBUTE_LIST] = 3;
    use.kinds[ZU_KIND_MOB_ATTRIBUTE] = 3;
    return use;
}

class Browse : public ServiceTest {
protected:
    IZuInterplayMobAttribute* Condition(const std::wstring& group, const std::wstring& name,
                                        const std::wstring& value) {
        IZuInterplayMobAttribute* attribute = nullptr;
        EXPECT_EQ(S_OK, access->CreateMobAttribute(&attribute));
        attribute->SetGroup(group.c_str());
        attribute->SetName(name.c_str());
        attribute->SetValue(value.c_str());
        conditions.push_back(attribute);
        return attribute;
    }
    void TearDown() override {
        for (IZuInterplayMobAttribute* condition : conditions) condition->Release();
        ServiceTest::TearDown();
    }

    HRESULT SearchWith(const std::string& inner, IZuInterplayAssetsDescriptionsList** out) {
        Reply(Response("Search", inner));
        return access->Search(out);
    }

    static std::string SearchRequest(const std::string& root, const std::string& group, int limit) {
        return "<types:Search>" +
               (root.empty() ? "<types:InterplayPathURI/>"
                             : "<types:InterplayPathURI>" + root + "</types:InterplayPathURI>") +
               group + "<types:MaxResults>" + std::to_string(limit) + "</types:MaxResults></types:Search>";
    }

    std::vector<IZuInterplayMobAttribute*> conditions;
};

// ---------------------------------------------------------------------------
// GetChildren

TEST_F(Browse, ChildrenRequestFollowsTheFoldersOnlyFlag) {
    Reply(Response("GetChildren"));
    Reply(Response("GetChildren"));
    EXPECT_EQ(S_OK, access->GetChildren(L"interplay://WG/Media", false, nullptr));
    EXPECT_EQ(S_OK, access->GetChildren((std::wstring(258, L'f') + L"\x4E2D").c_str(), true, nullptr));
    EXPECT_EQ(
        "<types:GetChildren><types:InterplayURI>interplay://WG/Media</types:InterplayURI>"
        "<types:IncludeFolders>true</types:IncludeFolders><types:IncludeFiles>true</types:IncludeFiles>"
        "<types:IncludeMOBs>true</types:IncludeMOBs></types:GetChildren>",
        Sent(0));
    EXPECT_EQ("<types:GetChildren><types:InterplayURI>" + std::string(258, 'f') +
                  "</types:InterplayURI><types:IncludeFolders>true</types:IncludeFolders>"
                  "<types:IncludeFiles>false</types:IncludeFiles><types:IncludeMOBs>false</types:IncludeMOBs>"
                  "</types:GetChildren>",
              Sent(1));
    EXPECT_EQ(PoolUse(), PoolUseOf(access)) << "a null out pointer gets nothing built";
}

TEST_F(Browse, ChildrenArePackedInOrderAndGoBackToThePools) {
    Reply(Response("GetChildren", ThreeAssets()));
    IZuInterplayAssetsDescriptionsList* list = nullptr;
    ASSERT_EQ(S_OK, access->GetChildren(L"interplay://WG", false, &list));
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(kThreeAssets, Read(list));
    EXPECT_EQ(ThreeAssetsInUse(), PoolUseOf(access));
    list->Release();
    EXPECT_EQ(PoolUse(), PoolUseOf(access));

    // Again from warm pools: the objects are blank or set anew.
    Reply(Response("GetChildren",
                   "<types:Results>" + Description("interplay://WG/x", "") + "</types:Results>"));
    ASSERT_EQ(S_OK, access->GetChildren(L"interplay://WG", false, &list));
    EXPECT_EQ((std::vector<Asset>{{L"interplay://WG/x", {}}}), Read(list));
    list->Release();
}

TEST_F(Browse, ChildrenTextsOverTheFieldsAreCut) {
    Reply(Response("GetChildren", "<types:Results>" +
                                      Description(std::string(300, 'u'),
                                                  "<types:Attributes>" +
                                                      Attribute(std::string(20, 'g'), std::string(130, 'n'),
                                                                std::string(300, 'v')) +
                                                      "</types:Attributes>") +
                                      "</types:Results>"));
    IZuInterplayAssetsDescriptionsList* list = nullptr;
    ASSERT_EQ(S_OK, access->GetChildren(L"interplay://WG", false, &list));
    EXPECT_EQ(
        (std::vector<Asset>{{std::wstring(259, L'u'),
                             {{std::wstring(15, L'g'), std::wstring(127, L'n'), std::wstring(259, L'v')}}}}),
        Read(list));
    list->Release();
}

TEST_F(Browse, ChildrenWithoutResultsGiveAnEmptyList) {
    for (const char* inner : {"", "<types:Results/>", "<types:Errors/>"}) {
        Reply(Response("GetChildren", inner));
        IZuInterplayAssetsDescriptionsList* list = nullptr;
        ASSERT_EQ(S_OK, access->GetChildren(L"interplay://WG", false, &list)) << inner;
        ASSERT_NE(nullptr, list);
        EXPECT_TRUE(Read(list).empty());
        list->Release();
    }
}

TEST_F(Browse, ChildrenServerErrorBuildsNothing) {
    LastError() = "before";
    Reply(Response("GetChildren", Errors("no folder \xe7\xb4\xa0", "details") + ThreeAssets()));
    IZuInterplayAssetsDescriptionsList* list = nullptr;
    EXPECT_EQ(ZU_E_SERVERERROR, access->GetChildren(L"interplay://WG", false, &list));
    EXPECT_EQ(nullptr, list);
    EXPECT_EQ(L"details", LastErrorText());
    EXPECT_EQ(
        (std::vector<std::string>{Line(kChildrenLine, "no folder \xcb\xd8"), Line(kChildrenLine, "details")}),
        Logged());
    EXPECT_EQ(PoolUse(), PoolUseOf(access));
}

TEST_F(Browse, ChildrenTransportFailureShowsNothing) {
    Unreachable();
    IZuInterplayAssetsDescriptionsList* list = nullptr;
    EXPECT_EQ(SOAP_TCP_ERROR, access->GetChildren(L"interplay://WG", false, &list));
    EXPECT_EQ(nullptr, list);
    EXPECT_EQ(Wide(ZU_TEXT_NO_WEB_SERVICE), LastErrorText());
    EXPECT_TRUE(Logged().empty());
    EXPECT_TRUE(boxes.empty());

    // Malformed: the body is not the response.
    access->SetServiceURL(KoWiden(server.url().c_str()).c_str());
    Reply(Envelope("<types:Unexpected/>"));
    HRESULT hr = access->GetChildren(L"interplay://WG", false, &list);
    EXPECT_GT(hr, 0) << "the runtime's code";
    EXPECT_EQ(nullptr, list);
    EXPECT_EQ(Wide(ZU_TEXT_NO_WEB_SERVICE), LastErrorText());
}

TEST_F(Browse, ChildrenRefusesANullUri) {
    IZuInterplayAssetsDescriptionsList* list = nullptr;
    EXPECT_EQ(ZU_E_INVALIDARG, access->GetChildren(nullptr, false, &list));
    EXPECT_EQ(0u, server.connections());
}

TEST_F(Browse, ChildrenWithoutObjectsFromThePoolsHandsOutNothing) {
    for (int kind : {ZU_KIND_ASSETS_DESCRIPTIONS_LIST, ZU_KIND_ASSET_DESCRIPTION, ZU_KIND_MOB_ATTRIBUTE_LIST,
                     ZU_KIND_MOB_ATTRIBUTE}) {
        SCOPED_TRACE(kind);
        WithoutPoolOf(kind);
        Reply(Response("GetChildren", ThreeAssets()));
        IZuInterplayAssetsDescriptionsList* const untouched =
            reinterpret_cast<IZuInterplayAssetsDescriptionsList*>(0x1);
        IZuInterplayAssetsDescriptionsList* list = untouched;
        EXPECT_EQ(ZU_E_FAILED, access->GetChildren(L"interplay://WG", false, &list));
        EXPECT_EQ(untouched, list);
        EXPECT_EQ(0u, PoolUseOf(access).Total());
    }
}

// ---------------------------------------------------------------------------
// Search settings and request

TEST_F(Browse, NewObjectSearchesTheEmptyRootWithALimitOf20AndAnEmptyGroup) {
    EXPECT_EQ(S_OK, SearchWith("", nullptr));
    EXPECT_EQ(SearchRequest("", "<types:SearchGroup></types:SearchGroup>", 20), Sent());
    EXPECT_EQ(20, CZuInterplayAccessTestPeer(access).searchLimit()) << "Search changes no setting";
}

TEST_F(Browse, SetSearchOptionsResetsBeforeItRefusesANullRoot) {
    ASSERT_EQ(S_OK, access->SetSearchOptions(L"interplay://WG/News", ZU_SEARCH_AND, 50));
    ASSERT_EQ(S_OK, access->AddSearchCondition(ZU_SEARCH_EQUALS, Condition(L"USER", L"A", L"1")));
    EXPECT_EQ(ZU_E_INVALIDARG, access->SetSearchOptions(nullptr, ZU_SEARCH_OR, 99));
    EXPECT_EQ(S_OK, SearchWith("", nullptr));
    EXPECT_EQ(SearchRequest("", "<types:SearchGroup></types:SearchGroup>", 10), Sent());
}

TEST_F(Browse, ConditionsAndOperatorMakeOneGroup) {
    ASSERT_EQ(S_OK, access->SetSearchOptions(L"interplay://WG/News", ZU_SEARCH_AND, 100));
    ASSERT_EQ(S_OK, access->AddSearchCondition(ZU_SEARCH_EQUALS, Condition(L"USER", L"Title", L"News")));
    ASSERT_EQ(S_OK, access->AddSearchCondition(ZU_SEARCH_CONTAINS, Condition(L"", L"Tape", L"A-B")));
    EXPECT_EQ(S_OK, SearchWith("", nullptr));
    EXPECT_EQ(
        SearchRequest("interplay://WG/News",
                      "<types:SearchGroup Operator=\"AND\"><types:AttributeCondition Condition=\"EQUALS\">" +
                          Attribute("USER", "Title", "News") +
                          "</types:AttributeCondition><types:AttributeCondition Condition=\"CONTAINS\">"
                          "<types:Attribute Name=\"Tape\">A-B</types:Attribute>"
                          "</types:AttributeCondition></types:SearchGroup>",
                      100),
        Sent());

    // The same search again sends the same request.
    std::string first = Sent();
    EXPECT_EQ(S_OK, SearchWith("", nullptr));
    EXPECT_EQ(first, Sent());

    // OR, and no operator at all for any other code; limits go as given.
    for (int code : {int(ZU_SEARCH_OR), 2, -1}) {
        ASSERT_EQ(S_OK, access->SetSearchOptions(L"r", code, code == 2 ? 0 : -5));
        EXPECT_EQ(S_OK, SearchWith("", nullptr));
        EXPECT_EQ(
            SearchRequest("r",
                          code == ZU_SEARCH_OR ? "<types:SearchGroup Operator=\"OR\"></types:SearchGroup>"
                                               : "<types:SearchGroup></types:SearchGroup>",
                          code == 2 ? 0 : -5),
            Sent())
            << code;
    }
}

TEST_F(Browse, EveryConditionKindHasItsName) {
    ASSERT_EQ(S_OK, access->SetSearchOptions(L"r", 2, 1));
    IZuInterplayMobAttribute* condition = Condition(L"G", L"N", L"V");
    for (unsigned kind = 0; kind < 8; ++kind) ASSERT_EQ(S_OK, access->AddSearchCondition(kind, condition));
    EXPECT_EQ(S_OK, SearchWith("", nullptr));
    std::string group = "<types:SearchGroup>";
    for (const char* name : {"EQUALS", "NOT_EQUALS", "CONTAINS", "NOT_CONTAINS", "LESS_THAN", "GREATER_THAN",
                             "LESS_THAN_OR_EQUAL_TO", "GREATER_THAN_OR_EQUAL_TO"})
        group += std::string("<types:AttributeCondition Condition=\"") + name + "\">" +
                 Attribute("G", "N", "V") + "</types:AttributeCondition>";
    EXPECT_EQ(SearchRequest("r", group + "</types:SearchGroup>", 1), Sent());
}

TEST_F(Browse, UnknownKindsAreRefusedAndNullConditionsSkipped) {
    ASSERT_EQ(S_OK, access->SetSearchOptions(L"r", 2, 1));
    IZuInterplayMobAttribute* a = Condition(L"G", L"A", L"1");
    IZuInterplayMobAttribute* b = Condition(L"G", L"B", L"2");
    EXPECT_EQ(ZU_E_INVALIDARG, access->AddSearchCondition(8, a));
    EXPECT_EQ(ZU_E_INVALIDARG, access->AddSearchCondition(0xFFFFFFFFu, a));
    EXPECT_EQ(S_OK, access->AddSearchCondition(ZU_SEARCH_LESS_THAN, nullptr));
    EXPECT_EQ(S_OK, access->AddSearchCondition(ZU_SEARCH_NOT_EQUALS, b));
    EXPECT_EQ(S_OK, SearchWith("", nullptr));
    // Nothing of the refused ones, the null one left out, b with its own name.
    EXPECT_EQ(SearchRequest("r",
                            "<types:SearchGroup><types:AttributeCondition Condition=\"NOT_EQUALS\">" +
                                Attribute("G", "B", "2") + "</types:AttributeCondition></types:SearchGroup>",
                            1),
              Sent());
}

TEST_F(Browse, SearchTextsAreCutAtWholeCharacters) {
    // The root field keeps 259 characters; narrowed, 259 bytes.
    std::wstring root = std::wstring(258, L'r') + L"\x4E2D" + L"tail";
    ASSERT_EQ(S_OK, access->SetSearchOptions(root.c_str(), 2, 1));
    ASSERT_EQ(S_OK,
              access->AddSearchCondition(ZU_SEARCH_EQUALS, Condition(std::wstring(14, L'g') + L"\x4E2D",
                                                                     std::wstring(126, L'n') + L"\x4E2D",
                                                                     std::wstring(258, L'v') + L"\x4E2D")));
    EXPECT_EQ(S_OK, SearchWith("", nullptr));
    EXPECT_EQ(
        SearchRequest(std::string(258, 'r'),
                      "<types:SearchGroup><types:AttributeCondition Condition=\"EQUALS\">" +
                          Attribute(std::string(14, 'g'), std::string(126, 'n'), std::string(258, 'v')) +
                          "</types:AttributeCondition></types:SearchGroup>",
                      1),
        Sent());
}

// ---------------------------------------------------------------------------
// Search outcomes

TEST_F(Browse, SearchResultsArePackedLikeChildren) {
    IZuInterplayAssetsDescriptionsList* list = nullptr;
    ASSERT_EQ(S_OK, SearchWith(ThreeAssets(), &list));
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(kThreeAssets, Read(list));
    EXPECT_EQ(ThreeAssetsInUse(), PoolUseOf(access));
    list->Release();
    EXPECT_EQ(PoolUse(), PoolUseOf(access));

    EXPECT_EQ(S_OK, SearchWith(ThreeAssets(), nullptr));
    EXPECT_EQ(PoolUse(), PoolUseOf(access));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Browse, SearchServerErrorIsToldByTheLastErrorTextOnly) {
    IZuInterplayAssetsDescriptionsList* list = nullptr;
    EXPECT_EQ(S_OK, SearchWith(Errors("bad query", "near CONTAINS") + ThreeAssets(), &list));
    EXPECT_EQ(nullptr, list);
    EXPECT_EQ(L"near CONTAINS", LastErrorText());
    EXPECT_EQ((std::vector<std::string>{Line(kSearchLine, "bad query"), Line(kSearchLine, "near CONTAINS")}),
              Logged());
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(PoolUse(), PoolUseOf(access));
}

TEST_F(Browse, UnreachableSearchShowsTheBoxAndLeavesAnEmptyList) {
    Unreachable();
    std::vector<std::string> lines = {
        "CZuInterplayUploading::CheckInAAF , __assets__CheckInAAF value = 28  ! \n",
        Line(kSearchLine, kNoWebService)};
    // Without an out pointer: S_OK, no box.
    EXPECT_EQ(S_OK, access->Search(nullptr));
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(Wide(ZU_TEXT_NO_WEB_SERVICE), LastErrorText());
    EXPECT_EQ(lines, Logged());

    capture.clear();
    LastError() = "";
    IZuInterplayAssetsDescriptionsList* list = nullptr;
    EXPECT_EQ(ZU_E_FAILED, access->Search(&list));
    EXPECT_EQ((std::vector<std::string>{ZU_TEXT_NETWORK_FAILED}), boxes);
    EXPECT_EQ(Wide(ZU_TEXT_NO_WEB_SERVICE), LastErrorText());
    EXPECT_EQ(lines, Logged());
    ASSERT_NE(nullptr, list);
    EXPECT_TRUE(Read(list).empty());
    list->Release();
}

TEST_F(Browse, SearchWithoutObjectsFromThePools) {
    // Results that cannot be packed: the failure, nothing handed out.
    WithoutPoolOf(ZU_KIND_ASSET_DESCRIPTION);
    IZuInterplayAssetsDescriptionsList* const untouched =
        reinterpret_cast<IZuInterplayAssetsDescriptionsList*>(0x1);
    IZuInterplayAssetsDescriptionsList* list = untouched;
    EXPECT_EQ(ZU_E_FAILED, SearchWith(ThreeAssets(), &list));
    EXPECT_EQ(untouched, list);
    EXPECT_EQ(0u, PoolUseOf(access).Total());

    // No empty list for an unreachable server either: the box all the same.
    WithoutPoolOf(ZU_KIND_ASSETS_DESCRIPTIONS_LIST);
    Unreachable();
    EXPECT_EQ(ZU_E_FAILED, access->Search(&list));
    EXPECT_EQ(untouched, list);
    EXPECT_EQ((std::vector<std::string>{ZU_TEXT_NETWORK_FAILED}), boxes);
}

} // namespace
