// Reading, removing and adding an asset's locators against a scripted server.
#include "ServiceTestSupport.h"

using namespace service_test;

namespace {

const char* const kGetLine = ZU_LOG_GET_LOCATORS;
const char* const kRemoveLine = ZU_LOG_REMOVE_LOCATORS;
const char* const kAddLine = ZU_LOG_SAVE_LOCATORS;

// A locator the host implements itself: counts its references, never frees.
class HostLocator : public IZuInterplayMobLocator {
public:
    STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IZuInterplayMobLocator) {
            AddRef();
            *ppv = this;
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return ++count; }
    STDMETHOD_(ULONG, Release)() override { return --count; }
    STDMETHOD(GetLocatorID)(int* out) override { return *out = 0, S_OK; }
    STDMETHOD(SetLocatorID)(int) override { return S_OK; }
    STDMETHOD(GetFrameNumber)(int64_t* out) override { return *out = 77, S_OK; }
    STDMETHOD(SetFrameNumber)(int64_t) override { return S_OK; }
    STDMETHOD(GetTimecode)(const wchar_t** out) override { return *out = L"", S_OK; }
    STDMETHOD(SetTimecode)(const wchar_t*) override { return S_OK; }
    STDMETHOD(GetUsername)(const wchar_t** out) override { return *out = L"", S_OK; }
    STDMETHOD(SetUsername)(const wchar_t*) override { return S_OK; }
    STDMETHOD(GetComment)(const wchar_t** out) override { return *out = L"host made", S_OK; }
    STDMETHOD(SetComment)(const wchar_t*) override { return S_OK; }
    STDMETHOD(GetColor)(const wchar_t** out) override { return *out = L"Red", S_OK; }
    STDMETHOD(SetColor)(const wchar_t*) override { return S_OK; }
    STDMETHOD(GetTrack)(const wchar_t** out) override { return *out = L"A2", S_OK; }
    STDMETHOD(SetTrack)(const wchar_t*) override { return S_OK; }
    ULONG count = 1;
};

struct LocatorValues {
    int id;
    int64_t frame;
    std::wstring timecode, username, comment, color, track;
    bool operator==(const LocatorValues& o) const {
        return id == o.id && frame == o.frame && timecode == o.timecode && username == o.username &&
               comment == o.comment && color == o.color && track == o.track;
    }
};

std::ostream& operator<<(std::ostream& out, const LocatorValues& v) {
    return out << v.id << "/" << v.frame << "/" << testing::PrintToString(v.timecode) << "/"
               << testing::PrintToString(v.username) << "/" << testing::PrintToString(v.comment) << "/"
               << testing::PrintToString(v.color) << "/" << testing::PrintToString(v.track);
}

LocatorValues Values(IZuInterplayMobLocator* locator) {
    LocatorValues v{};
    const wchar_t *timecode, *username, *comment, *color, *track;
    locator->GetLocatorID(&v.id);
    locator->GetFrameNumber(&v.frame);
    locator->GetTimecode(&timecode);
    locator->GetUsername(&username);
    locator->GetComment(&comment);
    locator->GetColor(&color);
    locator->GetTrack(&track);
    v.timecode = timecode;
    v.username = username;
    v.comment = comment;
    v.color = color;
    v.track = track;
    return v;
}

std::string LocatorXml(const std::string& inner) { return "<types:Locator>" + inner + "</types:Locator>"; }

class Locators : public ServiceTest {
protected:
    // Reads two locators from the server; the list with its two references.
    IZuInterplayMobLocatorList* TwoFromServer() {
        Reply(Response(
            "GetLocators",
            "<types:Results>" +
                LocatorXml("<types:LocatorID>1</types:LocatorID><types:FrameNumber>10</types:FrameNumber>"
                           "<types:Comment>one</types:Comment><types:Color>Red</types:Color>"
                           "<types:Track>V1</types:Track>") +
                LocatorXml("<types:LocatorID>2</types:LocatorID><types:FrameNumber>20</types:FrameNumber>"
                           "<types:Comment>two</types:Comment><types:Color>Green</types:Color>"
                           "<types:Track>A1</types:Track>") +
                "</types:Results>"));
        IZuInterplayMobLocatorList* list = nullptr;
        EXPECT_EQ(S_OK, access->GetLocators(L"interplay://WG/A", &list));
        return list;
    }

    static std::vector<IZuInterplayMobLocator*> Items(IZuInterplayMobLocatorList* list) {
        std::vector<IZuInterplayMobLocator*> items;
        int count = 0;
        list->GetCount(&count);
        for (int i = 0; i < count; ++i) {
            IZuInterplayMobLocator* item = nullptr;
            list->GetItem(i, &item);
            items.push_back(item);
        }
        return items;
    }

    static std::vector<ULONG> Counts(IZuInterplayMobLocatorList* list) {
        std::vector<ULONG> counts;
        for (IZuInterplayMobLocator* item : Items(list)) counts.push_back(RefCount(item));
        return counts;
    }

    HRESULT Add(IZuInterplayMobLocatorList* list) {
        Reply(
            Response("SaveLocators", "<types:Results><types:LocatorID>9</types:LocatorID></types:Results>"));
        return access->AddLocators(L"interplay://WG/A", list);
    }

    static std::string SaveRequest(const std::string& locators) {
        return "<types:SaveLocators><types:InterplayURI>interplay://WG/A</"
               "types:InterplayURI><types:Locators>" +
               locators + "</types:Locators></types:SaveLocators>";
    }
};

// ---------------------------------------------------------------------------
// GetLocators

TEST_F(Locators, GetPacksEveryFieldInOrder) {
    Reply(Response(
        "GetLocators",
        "<types:Results>" +
            LocatorXml("<types:LocatorID>7</types:LocatorID><types:FrameNumber>8589934597</types:FrameNumber>"
                       "<types:Timecode>01:00:00:05</types:Timecode><types:Username>\xe7\xbc\x96\xe8\xbe\x91"
                       "</types:Username><types:Comment>\xe9\x95\x9c\xe5\xa4\xb4 1</types:Comment>"
                       "<types:Color>Cyan</types:Color><types:Track>V2</types:Track>") +
            // Nothing optional: zero numbers and empty texts.
            LocatorXml("<types:Comment/><types:Color>Blue</types:Color><types:Track>A1</types:Track>") +
            // Texts over the fields: cut.
            LocatorXml("<types:Timecode>" + std::string(40, 't') + "</types:Timecode><types:Username>" +
                       std::string(300, 'u') + "</types:Username><types:Comment>" + std::string(300, 'c') +
                       "</types:Comment><types:Color>" + std::string(30, 'o') +
                       "</types:Color><types:Track>" + std::string(25, 'k') + "</types:Track>") +
            "</types:Results>"));
    IZuInterplayMobLocatorList* list = nullptr;
    ASSERT_EQ(S_OK, access->GetLocators(L"interplay://WG/A", &list));
    EXPECT_EQ(
        "<types:GetLocators><types:InterplayURI>interplay://WG/A</types:InterplayURI>"
        "</types:GetLocators>",
        Sent());
    ASSERT_NE(nullptr, list);
    std::vector<LocatorValues> values;
    for (IZuInterplayMobLocator* item : Items(list)) values.push_back(Values(item));
    EXPECT_EQ((std::vector<LocatorValues>{
                  {7, 8589934597LL, L"01:00:00:05", L"\x7F16\x8F91", L"\x955C\x5934 1", L"Cyan", L"V2"},
                  {0, 0, L"", L"", L"", L"Blue", L"A1"},
                  {0, 0, std::wstring(29, L't'), std::wstring(259, L'u'), std::wstring(259, L'c'),
                   std::wstring(19, L'o'), std::wstring(9, L'k')}}),
              values);

    // The list with two references for the caller; each locator with the
    // list's and the spare one from its creation (the pool's own besides).
    EXPECT_EQ(3u, RefCount(list));
    EXPECT_EQ((std::vector<ULONG>{3, 3, 3}), Counts(list));
    PoolUse use;
    use.kinds[ZU_KIND_MOB_LOCATOR_LIST] = 1;
    use.kinds[ZU_KIND_MOB_LOCATOR] = 3;
    EXPECT_EQ(use, PoolUseOf(access));

    // A host that gives back what it holds returns everything to the pools.
    for (IZuInterplayMobLocator* item : Items(list)) item->Release();
    list->Release();
    list->Release();
    EXPECT_EQ(PoolUse(), PoolUseOf(access));
}

TEST_F(Locators, GetWithNullOutOrNoResults) {
    Reply(Response("GetLocators",
                   "<types:Results>" + LocatorXml("<types:Comment>c</types:Comment>") + "</types:Results>"));
    EXPECT_EQ(S_OK, access->GetLocators(L"interplay://WG/A", nullptr));
    EXPECT_EQ(1u, server.connections());
    EXPECT_EQ(PoolUse(), PoolUseOf(access));

    Reply(Response("GetLocators"));
    IZuInterplayMobLocatorList* list = nullptr;
    ASSERT_EQ(S_OK, access->GetLocators(L"interplay://WG/A", &list));
    ASSERT_NE(nullptr, list);
    EXPECT_TRUE(Items(list).empty());
    list->Release();
    list->Release();
}

TEST_F(Locators, GetServerErrorAndTransportFailureLeaveTheOutPointer) {
    Reply(Response("GetLocators", Errors("locked", "by someone") + "<types:Results>" +
                                      LocatorXml("<types:Comment>c</types:Comment>") + "</types:Results>"));
    IZuInterplayMobLocatorList* list = nullptr;
    EXPECT_EQ(ZU_E_SERVERERROR, access->GetLocators(L"interplay://WG/A", &list));
    EXPECT_EQ(nullptr, list);
    EXPECT_EQ(L"by someone", LastErrorText());
    EXPECT_EQ((std::vector<std::string>{Line(kGetLine, "locked"), Line(kGetLine, "by someone")}), Logged());

    capture.clear();
    Unreachable();
    EXPECT_EQ(SOAP_TCP_ERROR, access->GetLocators(L"interplay://WG/A", &list));
    EXPECT_EQ(nullptr, list);
    EXPECT_EQ(Wide(ZU_TEXT_NO_WEB_SERVICE), LastErrorText());
    EXPECT_TRUE(Logged().empty());
    EXPECT_EQ(PoolUse(), PoolUseOf(access));
}

TEST_F(Locators, GetWithoutObjectsFromThePoolsHandsOutNothing) {
    std::string results = "<types:Results>" + LocatorXml("<types:Comment>a</types:Comment>") +
                          LocatorXml("<types:Comment>b</types:Comment>") + "</types:Results>";
    for (int kind : {ZU_KIND_MOB_LOCATOR_LIST, ZU_KIND_MOB_LOCATOR}) {
        SCOPED_TRACE(kind);
        WithoutPoolOf(kind);
        Reply(Response("GetLocators", results));
        IZuInterplayMobLocatorList* const untouched = reinterpret_cast<IZuInterplayMobLocatorList*>(0x1);
        IZuInterplayMobLocatorList* list = untouched;
        EXPECT_EQ(ZU_E_FAILED, access->GetLocators(L"interplay://WG/A", &list));
        EXPECT_EQ(untouched, list);
        EXPECT_EQ(0u, PoolUseOf(access).Total());
    }
}

TEST_F(Locators, GetRefusesANullUri) {
    IZuInterplayMobLocatorList* list = nullptr;
    EXPECT_EQ(ZU_E_INVALIDARG, access->GetLocators(nullptr, &list));
    EXPECT_EQ(0u, server.connections());
}

// ---------------------------------------------------------------------------
// RemoveLocators

TEST_F(Locators, RemoveSendsExactlyOneId) {
    for (int id : {42, -3}) {
        Reply(Response("RemoveLocators"));
        EXPECT_EQ(S_OK, access->RemoveLocators(L"interplay://WG/A", id));
        EXPECT_EQ(
            "<types:RemoveLocators><types:InterplayURI>interplay://WG/A</types:InterplayURI>"
            "<types:LocatorIDs><types:LocatorID>" +
                std::to_string(id) + "</types:LocatorID></types:LocatorIDs></types:RemoveLocators>",
            Sent());
    }
    EXPECT_TRUE(Logged().empty());
}

TEST_F(Locators, RemoveFailures) {
    Reply(Response("RemoveLocators", Errors("m", "d")));
    EXPECT_EQ(ZU_E_SERVERERROR, access->RemoveLocators(L"interplay://WG/A", 1));
    EXPECT_EQ(L"d", LastErrorText());
    EXPECT_EQ((std::vector<std::string>{Line(kRemoveLine, "m"), Line(kRemoveLine, "d")}), Logged());

    capture.clear();
    Reply(Fault("SOAP-ENV:Client"), 500);
    EXPECT_EQ(SOAP_CLI_FAULT, access->RemoveLocators(L"interplay://WG/A", 1));
    EXPECT_EQ(Wide(ZU_TEXT_NO_WEB_SERVICE), LastErrorText());
    EXPECT_TRUE(Logged().empty());

    size_t before = server.connections();
    EXPECT_EQ(ZU_E_INVALIDARG, access->RemoveLocators(nullptr, 1));
    EXPECT_EQ(before, server.connections());
}

// ---------------------------------------------------------------------------
// AddLocators

TEST_F(Locators, AddWithNullOrEmptyListSendsAnEmptyLocatorsElement) {
    EXPECT_EQ(S_OK, Add(nullptr));
    EXPECT_EQ(SaveRequest(""), Sent());
    IZuInterplayMobLocatorList* list = nullptr;
    ASSERT_EQ(S_OK, access->CreateMobLocatorList(&list));
    EXPECT_EQ(S_OK, Add(list));
    EXPECT_EQ(SaveRequest(""), Sent());
    list->Release();
    list->Release();
}

TEST_F(Locators, AddSendsFrameCommentColourAndTrackOfEachInOrder) {
    IZuInterplayMobLocatorList* list = nullptr;
    ASSERT_EQ(S_OK, access->CreateMobLocatorList(&list));
    // Made by the host: two references each; it keeps none once listed, so the
    // list's reference and the spare one remain.
    IZuInterplayMobLocator* first = nullptr;
    IZuInterplayMobLocator* fresh = nullptr;
    IZuInterplayMobLocator* cut = nullptr;
    ASSERT_EQ(S_OK, access->CreateMobLocator(&first));
    ASSERT_EQ(S_OK, access->CreateMobLocator(&fresh));
    ASSERT_EQ(S_OK, access->CreateMobLocator(&cut));
    first->SetLocatorID(5);
    first->SetFrameNumber(8589934597LL);
    first->SetTimecode(L"01:00:00:00");
    first->SetUsername(L"editor");
    first->SetComment(L"Shot 1");
    first->SetColor(L"Red");
    first->SetTrack(L"A1");
    fresh->SetFrameNumber(0); // a new locator's defaults: empty comment, Blue, V1
    // Comment 259 bytes, colour 19 characters, track 9 bytes: the character
    // that would straddle a limit is left out whole.
    cut->SetFrameNumber(-1);
    cut->SetComment((std::wstring(258, L'c') + L"\x4E2D").c_str());
    cut->SetColor(std::wstring(19, L'o').c_str());
    cut->SetTrack(L"\x4E00\x4E8C\x4E09\x56DB\x4E94");
    for (IZuInterplayMobLocator* locator : {first, fresh, cut}) {
        list->Add(locator);
        locator->Release();
    }
    EXPECT_EQ((std::vector<ULONG>{3, 3, 3}), Counts(list));

    EXPECT_EQ(S_OK, Add(list));
    EXPECT_EQ(SaveRequest(LocatorXml("<types:FrameNumber>8589934597</types:FrameNumber>"
                                     "<types:Comment>Shot 1</types:Comment>"
                                     "<types:Color>Red</types:Color><types:Track>A1</types:Track>") +
                          LocatorXml("<types:FrameNumber>0</types:FrameNumber><types:Comment/>"
                                     "<types:Color>Blue</types:Color><types:Track>V1</types:Track>") +
                          LocatorXml("<types:FrameNumber>-1</types:FrameNumber><types:Comment>" +
                                     std::string(258, 'c') + "</types:Comment><types:Color>" +
                                     std::string(19, 'o') +
                                     "</types:Color><types:Track>"
                                     "&#19968;&#20108;&#19977;&#22235;</types:Track>")),
              Sent());
    // One AddLocators call takes the spare references back.
    EXPECT_EQ((std::vector<ULONG>{2, 2, 2}), Counts(list));
    list->Release();
    list->Release();
    EXPECT_EQ(PoolUse(), PoolUseOf(access));
    EXPECT_TRUE(Logged().empty());
}

TEST_F(Locators, AddTwiceWithOneListFromTheServerFreesNothingTheListHolds) {
    IZuInterplayMobLocatorList* list = TwoFromServer();
    ASSERT_NE(nullptr, list);
    EXPECT_EQ((std::vector<ULONG>{3, 3}), Counts(list));
    std::string expected =
        SaveRequest(LocatorXml("<types:FrameNumber>10</types:FrameNumber><types:Comment>one</types:Comment>"
                               "<types:Color>Red</types:Color><types:Track>V1</types:Track>") +
                    LocatorXml("<types:FrameNumber>20</types:FrameNumber><types:Comment>two</types:Comment>"
                               "<types:Color>Green</types:Color><types:Track>A1</types:Track>"));

    EXPECT_EQ(S_OK, Add(list));
    EXPECT_EQ(expected, Sent());
    EXPECT_EQ((std::vector<ULONG>{2, 2}), Counts(list));

    EXPECT_EQ(S_OK, Add(list));
    EXPECT_EQ(expected, Sent());
    EXPECT_EQ((std::vector<ULONG>{2, 2}), Counts(list)) << "the list still holds its locators";
    PoolUse use;
    use.kinds[ZU_KIND_MOB_LOCATOR_LIST] = 1;
    use.kinds[ZU_KIND_MOB_LOCATOR] = 2;
    EXPECT_EQ(use, PoolUseOf(access));

    list->Release();
    list->Release();
    EXPECT_EQ(PoolUse(), PoolUseOf(access));
}

TEST_F(Locators, AddKeepsWhatTheHostAlreadyGaveBackOrNeverHad) {
    // The host gave the spare references back itself.
    IZuInterplayMobLocatorList* list = TwoFromServer();
    ASSERT_NE(nullptr, list);
    for (IZuInterplayMobLocator* item : Items(list)) item->Release();
    EXPECT_EQ(S_OK, Add(list));
    EXPECT_EQ((std::vector<ULONG>{2, 2}), Counts(list));

    // A locator the host made itself, and one listed twice.
    HostLocator host;
    list->Add(&host);
    IZuInterplayMobLocator* twice = nullptr;
    ASSERT_EQ(S_OK, access->CreateMobLocator(&twice));
    list->Add(twice);
    list->Add(twice);
    twice->Release();
    EXPECT_EQ(4u, RefCount(twice));
    EXPECT_EQ(2u, host.count);
    EXPECT_EQ(S_OK, Add(list));
    EXPECT_NE(std::string::npos,
              Sent().find(LocatorXml("<types:FrameNumber>77</types:FrameNumber>"
                                     "<types:Comment>host made</types:Comment><types:Color>Red"
                                     "</types:Color><types:Track>A2</types:Track>")));
    EXPECT_EQ(2u, host.count);
    EXPECT_EQ(3u, RefCount(twice)) << "the spare reference, once";
    EXPECT_EQ(S_OK, Add(list));
    EXPECT_EQ(3u, RefCount(twice));

    list->Release();
    list->Release();
    EXPECT_EQ(1u, host.count);
    EXPECT_EQ(PoolUse(), PoolUseOf(access));
}

TEST_F(Locators, AddFailuresStillTakeTheSpareReferencesBack) {
    IZuInterplayMobLocatorList* list = TwoFromServer();
    ASSERT_NE(nullptr, list);
    Reply(Response("SaveLocators", Errors("not allowed", "read only")));
    EXPECT_EQ(ZU_E_SERVERERROR, access->AddLocators(L"interplay://WG/A", list));
    EXPECT_EQ(L"read only", LastErrorText());
    EXPECT_EQ((std::vector<std::string>{Line(kAddLine, "not allowed"), Line(kAddLine, "read only")}),
              Logged());
    EXPECT_EQ((std::vector<ULONG>{2, 2}), Counts(list));

    capture.clear();
    Unreachable();
    EXPECT_EQ(SOAP_TCP_ERROR, access->AddLocators(L"interplay://WG/A", list));
    EXPECT_EQ(Wide(ZU_TEXT_NO_WEB_SERVICE), LastErrorText());
    EXPECT_TRUE(Logged().empty());
    EXPECT_EQ((std::vector<ULONG>{2, 2}), Counts(list));
    list->Release();
    list->Release();
}

TEST_F(Locators, AddWithNullUriSendsNothingAndKeepsTheReferences) {
    IZuInterplayMobLocatorList* list = TwoFromServer();
    ASSERT_NE(nullptr, list);
    size_t before = server.connections();
    EXPECT_EQ(ZU_E_INVALIDARG, access->AddLocators(nullptr, list));
    EXPECT_EQ(before, server.connections());
    EXPECT_EQ((std::vector<ULONG>{3, 3}), Counts(list));
    EXPECT_EQ(S_OK, Add(list));
    list->Release();
    list->Release();
}

} // namespace
