// Writing and reading an asset's attributes against a scripted server.
#include "ServiceTestSupport.h"

using namespace service_test;

namespace {

const char* const kSetLine = ZU_LOG_SET_ATTRIBUTES_FALSE;
const char* const kGetLine = ZU_LOG_GET_ATTRIBUTES;

// 中文: wide, and as UTF-8 on the wire in.
const wchar_t kZhongWen[] = L"\x4E2D\x6587";
const char kZhongWenUtf8[] = "\xe4\xb8\xad\xe6\x96\x87";

class Attributes : public ServiceTest {
protected:
    // A list of new attributes (group, name, value), with the caller's one
    // reference.
    IZuInterplayMobAttributeList* List(const std::vector<std::vector<std::wstring>>& items) {
        IZuInterplayMobAttributeList* list = nullptr;
        EXPECT_EQ(S_OK, access->CreateMobAttributeList(&list));
        for (const std::vector<std::wstring>& item : items) {
            IZuInterplayMobAttribute* attribute = nullptr;
            EXPECT_EQ(S_OK, access->CreateMobAttribute(&attribute));
            attribute->SetGroup(item.at(0).c_str());
            attribute->SetName(item.at(1).c_str());
            attribute->SetValue(item.at(2).c_str());
            list->Add(attribute);
            attribute->Release();
        }
        return list;
    }

    HRESULT Set(IZuInterplayMobAttributeList* list, const wchar_t* uri = L"interplay://WG/A") {
        Reply(Response("SetAttributes"));
        return access->SetAttributes(uri, list);
    }

    static std::string SetRequest(const std::string& attributes,
                                  const std::string& uri = "interplay://WG/A") {
        return "<types:SetAttributes><types:InterplayURIs><types:InterplayURI>" + uri +
               "</types:InterplayURI></types:InterplayURIs>" + attributes + "</types:SetAttributes>";
    }

    // The group, name and value of each attribute of list, in order.
    static std::vector<std::vector<std::wstring>> Read(IZuInterplayMobAttributeList* list) {
        std::vector<std::vector<std::wstring>> items;
        int count = -1;
        EXPECT_EQ(S_OK, list->GetCount(&count));
        for (int i = 0; i < count; ++i) {
            IZuInterplayMobAttribute* attribute = nullptr;
            EXPECT_EQ(S_OK, list->GetItem(i, &attribute));
            EXPECT_EQ(3u, RefCount(attribute)) << "pool, list and this GetItem";
            const wchar_t *group = nullptr, *name = nullptr, *value = nullptr;
            attribute->GetGroup(&group);
            attribute->GetName(&name);
            attribute->GetValue(&value);
            items.push_back({group, name, value});
            attribute->Release();
        }
        return items;
    }

    static std::string Attribute(const std::string& group, const std::string& name,
                                 const std::string& value) {
        return "<types:Attribute Group=\"" + group + "\" Name=\"" + name + "\">" + value +
               "</types:Attribute>";
    }
};

// ---------------------------------------------------------------------------
// SetAttributes

TEST_F(Attributes, SetSendsEveryGroupButSystemInListOrder) {
    IZuInterplayMobAttributeList* list = List({{L"USER", L"Title", L"Clip one"},
                                               {L"SYSTEM", L"Created", L"today"},
                                               {L"System", L"Mixed", L"a"},
                                               {L"SYSTEMS", L"Longer", L"b"},
                                               {L"", L"", L"bare"},
                                               {L"USER", L"Take", L"2"}});
    EXPECT_EQ(S_OK, Set(list));
    EXPECT_EQ(SetRequest("<types:Attributes>" + Attribute("USER", "Title", "Clip one") +
                         Attribute("System", "Mixed", "a") + Attribute("SYSTEMS", "Longer", "b") +
                         "<types:Attribute>bare</types:Attribute>" + Attribute("USER", "Take", "2") +
                         "</types:Attributes>"),
              Sent());
    // The entries keep their references: the list's and the pool's.
    IZuInterplayMobAttribute* first = nullptr;
    ASSERT_EQ(S_OK, list->GetItem(0, &first));
    EXPECT_EQ(3u, RefCount(first));
    first->Release();
    list->Release();
    EXPECT_EQ(PoolUse(), PoolUseOf(access));
    EXPECT_TRUE(Logged().empty());
}

TEST_F(Attributes, SetWithNullListSendsNoAttributesAndWithEmptyOrAllSystemAnEmptyElement) {
    EXPECT_EQ(S_OK, Set(nullptr));
    EXPECT_EQ(SetRequest(""), Sent());

    IZuInterplayMobAttributeList* empty = List({});
    EXPECT_EQ(S_OK, Set(empty));
    EXPECT_EQ(SetRequest("<types:Attributes></types:Attributes>"), Sent());
    empty->Release();

    IZuInterplayMobAttributeList* system = List({{L"SYSTEM", L"A", L"1"}, {L"SYSTEM", L"B", L"2"}});
    EXPECT_EQ(S_OK, Set(system));
    EXPECT_EQ(SetRequest("<types:Attributes></types:Attributes>"), Sent());
    system->Release();
}

TEST_F(Attributes, SetCutsEveryTextAtAWholeCharacterWithinItsLimit) {
    // Group 15 bytes, name 127, value and URI 259: the CJK character that would
    // straddle each limit is left out whole.
    std::wstring group = std::wstring(14, L'g') + L"\x4E2D";
    std::wstring name = std::wstring(126, L'n') + L"\x4E2D";
    std::wstring value = std::wstring(258, L'v') + L"\x4E2D";
    std::wstring uri = std::wstring(257, L'u') + L"\x4E2D" + L"tail";
    IZuInterplayMobAttributeList* list = List({{group, name, value}});
    EXPECT_EQ(S_OK, Set(list, uri.c_str()));
    EXPECT_EQ(SetRequest("<types:Attributes>" +
                             Attribute(std::string(14, 'g'), std::string(126, 'n'), std::string(258, 'v')) +
                             "</types:Attributes>",
                         std::string(257, 'u') + "&#20013;"),
              Sent());
    list->Release();

    // What fits exactly is kept whole.
    list = List({{std::wstring(13, L'g') + L"\x4E2D", L"n", std::wstring(257, L'v') + L"\x4E2D"}});
    EXPECT_EQ(S_OK, Set(list));
    EXPECT_EQ(
        SetRequest("<types:Attributes>" +
                   Attribute(std::string(13, 'g') + "&#20013;", "n", std::string(257, 'v') + "&#20013;") +
                   "</types:Attributes>"),
        Sent());
    list->Release();
}

TEST_F(Attributes, SetServerErrorLeavesTheDetailsAndLogsBothTexts) {
    LastError() = "before";
    Reply(Response("SetAttributes", Errors(std::string("bad ") + kZhongWenUtf8, "the details")));
    EXPECT_EQ(ZU_E_SERVERERROR, access->SetAttributes(L"interplay://WG/A", nullptr));
    EXPECT_EQ(L"the details", LastErrorText());
    EXPECT_EQ(
        (std::vector<std::string>{Line(kSetLine, "bad \xd6\xd0\xce\xc4"), Line(kSetLine, "the details")}),
        Logged());
}

TEST_F(Attributes, SetTransportFailureLogsTheCodeAndTheUnreachableText) {
    Unreachable();
    IZuInterplayMobAttributeList* list = List({{L"USER", L"A", L"1"}});
    EXPECT_EQ(SOAP_TCP_ERROR, access->SetAttributes(L"interplay://WG/A", list));
    EXPECT_EQ(Wide(ZU_TEXT_NO_WEB_SERVICE), LastErrorText());
    EXPECT_EQ((std::vector<std::string>{
                  "CZuInterplayAccess::SetAttributes , __assets__SetAttributes value = 28  ! \n",
                  Line(kSetLine, kNoWebService)}),
              Logged());
    list->Release();

    // A SOAP fault is a failed call too.
    capture.clear();
    access->SetServiceURL(KoWiden(server.url().c_str()).c_str());
    Reply(Fault("SOAP-ENV:Server"), 500);
    EXPECT_EQ(SOAP_SVR_FAULT, access->SetAttributes(L"interplay://WG/A", nullptr));
    EXPECT_EQ(Logged().at(0), "CZuInterplayAccess::SetAttributes , __assets__SetAttributes value = 2  ! \n");
}

TEST_F(Attributes, SetSuccessKeepsThePreviousErrorText) {
    LastError() = "earlier failure";
    EXPECT_EQ(S_OK, Set(nullptr));
    EXPECT_EQ(L"earlier failure", LastErrorText());
    // An error list without entries is no error.
    Reply(Response("SetAttributes", "<types:Errors/>"));
    EXPECT_EQ(S_OK, access->SetAttributes(L"interplay://WG/A", nullptr));
    EXPECT_EQ(L"earlier failure", LastErrorText());
}

TEST_F(Attributes, SetWithNullUriSendsNothing) {
    EXPECT_EQ(ZU_E_INVALIDARG, access->SetAttributes(nullptr, nullptr));
    EXPECT_EQ(0u, server.connections());
}

// ---------------------------------------------------------------------------
// GetAttributes

TEST_F(Attributes, GetAsksForOneUriAndNoParticularAttributes) {
    Reply(Response("GetAttributes"));
    IZuInterplayMobAttributeList* list = nullptr;
    EXPECT_EQ(S_OK, access->GetAttributes(L"interplay://WG/A", &list));
    EXPECT_EQ(
        "<types:GetAttributes><types:InterplayURIs><types:InterplayURI>interplay://WG/A"
        "</types:InterplayURI></types:InterplayURIs></types:GetAttributes>",
        Sent());
    EXPECT_EQ(nullptr, list);
}

TEST_F(Attributes, GetPacksTheAttributesInOrderWithTheirReferences) {
    Reply(Response(
        "GetAttributes",
        "<types:Results><types:AssetDescription><types:InterplayURI>interplay://WG/A</types:InterplayURI>"
        "<types:Attributes>" +
            Attribute("USER", "Title", kZhongWenUtf8) + Attribute("SYSTEM", kZhongWenUtf8, "42") +
            "<types:Attribute>bare</types:Attribute>" + Attribute("USER", "Plus", "a + b") +
            "</types:Attributes></types:AssetDescription></types:Results>"));
    IZuInterplayMobAttributeList* list = nullptr;
    ASSERT_EQ(S_OK, access->GetAttributes(L"interplay://WG/A", &list));
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(2u, RefCount(list)) << "the pool's and the caller's";
    EXPECT_EQ((std::vector<std::vector<std::wstring>>{{L"USER", L"Title", kZhongWen},
                                                      {L"SYSTEM", kZhongWen, L"42"},
                                                      {L"", L"", L"bare"},
                                                      {L"USER", L"Plus", L"a + b"}}),
              Read(list));
    PoolUse use;
    use.kinds[ZU_KIND_MOB_ATTRIBUTE_LIST] = 1;
    use.kinds[ZU_KIND_MOB_ATTRIBUTE] = 4;
    EXPECT_EQ(use, PoolUseOf(access));
    list->Release();
    EXPECT_EQ(PoolUse(), PoolUseOf(access));
}

TEST_F(Attributes, GetCutsOverlongTextsToTheFields) {
    std::string value(300, 'v'), group(20, 'g'), name(130, 'n');
    Reply(Response("GetAttributes",
                   "<types:Results><types:AssetDescription><types:InterplayURI>u</types:InterplayURI>"
                   "<types:Attributes>" +
                       Attribute(group, name, value) +
                       "</types:Attributes></types:AssetDescription></types:Results>"));
    IZuInterplayMobAttributeList* list = nullptr;
    ASSERT_EQ(S_OK, access->GetAttributes(L"interplay://WG/A", &list));
    EXPECT_EQ((std::vector<std::vector<std::wstring>>{
                  {std::wstring(15, L'g'), std::wstring(127, L'n'), std::wstring(259, L'v')}}),
              Read(list));
    list->Release();
}

TEST_F(Attributes, GetWithoutResultsOrAttributes) {
    IZuInterplayMobAttributeList* const untouched = reinterpret_cast<IZuInterplayMobAttributeList*>(0x1);
    // No results, or results without a description: S_OK and nothing handed out.
    for (const char* inner : {"", "<types:Results/>"}) {
        Reply(Response("GetAttributes", inner));
        IZuInterplayMobAttributeList* list = untouched;
        EXPECT_EQ(S_OK, access->GetAttributes(L"interplay://WG/A", &list)) << inner;
        EXPECT_EQ(untouched, list);
    }
    EXPECT_EQ(PoolUse(), PoolUseOf(access));

    // A description without attributes: an empty list.
    Reply(Response("GetAttributes",
                   "<types:Results><types:AssetDescription><types:InterplayURI>u"
                   "</types:InterplayURI></types:AssetDescription></types:Results>"));
    IZuInterplayMobAttributeList* list = nullptr;
    ASSERT_EQ(S_OK, access->GetAttributes(L"interplay://WG/A", &list));
    ASSERT_NE(nullptr, list);
    int count = -1;
    list->GetCount(&count);
    EXPECT_EQ(0, count);
    list->Release();
}

TEST_F(Attributes, GetWithSeveralDescriptionsHandsBackTheLastAndReleasesTheOthers) {
    auto description = [](const std::string& value) {
        return "<types:AssetDescription><types:InterplayURI>u</types:InterplayURI><types:Attributes>" +
               Attribute("USER", "N", value) + Attribute("USER", "M", value) +
               "</types:Attributes></types:AssetDescription>";
    };
    Reply(Response("GetAttributes", "<types:Results>" + description("first") + description("second") +
                                        description("last") + "</types:Results>"));
    IZuInterplayMobAttributeList* list = nullptr;
    ASSERT_EQ(S_OK, access->GetAttributes(L"interplay://WG/A", &list));
    EXPECT_EQ((std::vector<std::vector<std::wstring>>{{L"USER", L"N", L"last"}, {L"USER", L"M", L"last"}}),
              Read(list));
    PoolUse use;
    use.kinds[ZU_KIND_MOB_ATTRIBUTE_LIST] = 1;
    use.kinds[ZU_KIND_MOB_ATTRIBUTE] = 2;
    EXPECT_EQ(use, PoolUseOf(access));
    list->Release();
}

TEST_F(Attributes, GetServerErrorLeavesTheOutListAlone) {
    Reply(Response("GetAttributes",
                   Errors("no such asset", "details here") +
                       "<types:Results><types:AssetDescription><types:InterplayURI>u</types:InterplayURI>"
                       "</types:AssetDescription></types:Results>"));
    IZuInterplayMobAttributeList* list = nullptr;
    EXPECT_EQ(ZU_E_SERVERERROR, access->GetAttributes(L"interplay://WG/A", &list));
    EXPECT_EQ(nullptr, list);
    EXPECT_EQ(L"details here", LastErrorText());
    EXPECT_EQ((std::vector<std::string>{Line(kGetLine, "no such asset"), Line(kGetLine, "details here")}),
              Logged());
    EXPECT_EQ(PoolUse(), PoolUseOf(access));
}

TEST_F(Attributes, GetTransportFailureLogsNothing) {
    Unreachable();
    IZuInterplayMobAttributeList* list = nullptr;
    EXPECT_EQ(SOAP_TCP_ERROR, access->GetAttributes(L"interplay://WG/A", &list));
    EXPECT_EQ(nullptr, list);
    EXPECT_EQ(Wide(ZU_TEXT_NO_WEB_SERVICE), LastErrorText());
    EXPECT_TRUE(Logged().empty());

    // A response cut short is a failed call, whatever it held so far.
    access->SetServiceURL(KoWiden(server.url().c_str()).c_str());
    std::string body = Response("GetAttributes",
                                "<types:Results><types:AssetDescription>"
                                "<types:InterplayURI>u</types:InterplayURI>");
    Reply(body.substr(0, body.size() - 40));
    HRESULT hr = access->GetAttributes(L"interplay://WG/A", &list);
    EXPECT_EQ(SOAP_EOF, hr);
    EXPECT_EQ(nullptr, list);
    EXPECT_EQ(PoolUse(), PoolUseOf(access));
}

TEST_F(Attributes, GetRefusesNullArgumentsWithoutSending) {
    IZuInterplayMobAttributeList* list = nullptr;
    EXPECT_EQ(ZU_E_INVALIDARG, access->GetAttributes(nullptr, &list));
    EXPECT_EQ(ZU_E_INVALIDARG, access->GetAttributes(L"interplay://WG/A", nullptr));
    EXPECT_EQ(0u, server.connections());
}

TEST_F(Attributes, GetWithoutObjectsFromThePoolsHandsOutNothing) {
    std::string results =
        "<types:Results><types:AssetDescription><types:InterplayURI>u</types:InterplayURI>"
        "<types:Attributes>" +
        Attribute("USER", "A", "1") + Attribute("USER", "B", "2") +
        "</types:Attributes></types:AssetDescription></types:Results>";
    for (int kind : {ZU_KIND_MOB_ATTRIBUTE_LIST, ZU_KIND_MOB_ATTRIBUTE}) {
        SCOPED_TRACE(kind);
        WithoutPoolOf(kind);
        Reply(Response("GetAttributes", results));
        IZuInterplayMobAttributeList* const untouched = reinterpret_cast<IZuInterplayMobAttributeList*>(0x1);
        IZuInterplayMobAttributeList* list = untouched;
        EXPECT_EQ(ZU_E_FAILED, access->GetAttributes(L"interplay://WG/A", &list));
        EXPECT_EQ(untouched, list);
        EXPECT_EQ(0u, PoolUseOf(access).Total()) << "what was built went back";
    }
}

} // namespace
