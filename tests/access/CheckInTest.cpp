// Check-in of files and AAF compositions through the access object, against
// the scripted server.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "KoWindows.h"
#include "ServiceTestSupport.h"

using namespace ZuAssets;
using namespace service_test;

namespace {

const char* const kValueLine = ZU_LOG_CHECKINAAF_VALUE;
const char* const kFalseLine = ZU_LOG_CHECKINAAF_FALSE;
const char* const kErrorInfoLine = ZU_LOG_CHECK_ERROR_INFO;
const char* const kDetailsLine = ZU_LOG_CHECKIN_DETAILS;

const char kSucceeded[] = "Although the checkin succeeded, the index was not updated";
const std::string kNewURI = "interplay://WG/Projects/New/clip.1";

// 中 and 文 in GBK and as the wire writes them.
const std::string kZhongGbk = "\xD6\xD0";
const std::string kZhongRef = "&#20013;";

using Attribute = std::array<std::wstring, 3>; // group, name, value

// An attribute list the caller builds through the access object's own slots.
class AttributeList {
public:
    AttributeList(IZuInterplayAccess* access, const std::vector<Attribute>& attributes) {
        EXPECT_EQ(S_OK, access->CreateMobAttributeList(&m_list));
        for (const Attribute& a : attributes) {
            IZuInterplayMobAttribute* attribute = nullptr;
            EXPECT_EQ(S_OK, access->CreateMobAttribute(&attribute));
            attribute->SetGroup(a[0].c_str());
            attribute->SetName(a[1].c_str());
            attribute->SetValue(a[2].c_str());
            m_list->Add(attribute);
            attribute->Release();
        }
    }
    ~AttributeList() { m_list->Release(); }
    operator IZuInterplayMobAttributeList*() const { return m_list; }

private:
    IZuInterplayMobAttributeList* m_list = nullptr;
};

// A caller's list whose GetCount or whose attributes' GetValue fail.
class FakeAttribute : public IZuInterplayMobAttribute {
public:
    FakeAttribute(const wchar_t* value, HRESULT valueResult) : m_value(value), m_valueResult(valueResult) {}
    STDMETHOD(QueryInterface)(REFIID, void**) override { return E_NOINTERFACE; }
    STDMETHOD_(ULONG, AddRef)() override { return ++m_references; }
    STDMETHOD_(ULONG, Release)() override { return --m_references; }
    STDMETHOD(GetValue)(const wchar_t** out) override {
        *out = m_value;
        return m_valueResult;
    }
    STDMETHOD(SetValue)(const wchar_t*) override { return E_NOTIMPL; }
    STDMETHOD(GetGroup)(const wchar_t** out) override {
        *out = L"G";
        return S_OK;
    }
    STDMETHOD(SetGroup)(const wchar_t*) override { return E_NOTIMPL; }
    STDMETHOD(GetName)(const wchar_t** out) override {
        *out = L"N";
        return S_OK;
    }
    STDMETHOD(SetName)(const wchar_t*) override { return E_NOTIMPL; }
    ULONG m_references = 1;

private:
    const wchar_t* m_value;
    HRESULT m_valueResult;
};

class FakeList : public IZuInterplayMobAttributeList {
public:
    FakeList(HRESULT countResult, std::vector<FakeAttribute*> items)
        : m_countResult(countResult), m_items(std::move(items)) {}
    STDMETHOD(QueryInterface)(REFIID, void**) override { return E_NOINTERFACE; }
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
    STDMETHOD(Add)(IZuInterplayMobAttribute*) override { return E_NOTIMPL; }
    STDMETHOD(GetCount)(int* out) override {
        *out = static_cast<int>(m_items.size());
        return m_countResult;
    }
    STDMETHOD(GetItem)(int index, IZuInterplayMobAttribute** out) override {
        // A null entry stands for an item the list cannot give.
        if (!m_items[index]) return ZU_E_INVALIDARG;
        m_items[index]->AddRef();
        *out = m_items[index];
        return S_OK;
    }
    STDMETHOD(Reserved6)() override { return S_OK; }
    STDMETHOD(RemoveAll)() override { return E_NOTIMPL; }

private:
    HRESULT m_countResult;
    std::vector<FakeAttribute*> m_items;
};

class CheckIn : public ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        MakeFolder("c/clips");
    }

    // Writes a file below c:\clips\ and gives its Windows path.
    std::wstring ClipFile(const std::string& name, const std::string& bytes) {
        roots.drives().write("c/clips/" + name, bytes);
        return L"C:\\clips\\" + Wide(name);
    }

    // Slots 6 and 32 with the same arguments; slot 32 hands the URI to *out.
    HRESULT CheckInAAF(bool extended, const std::wstring& aaf, IZuInterplayMobAttributeList* attributes,
                       const wchar_t* headframe, const wchar_t** out = nullptr) {
        return extended
                   ? access->CheckInAAFEx(aaf.c_str(), L"interplay://WG/Projects/New", attributes, headframe,
                                          out)
                   : access->CheckInAAF(aaf.c_str(), L"interplay://WG/Projects/New", attributes, headframe);
    }

    std::string AttributesOf(const ScriptedServer::Request& request) {
        return elementOf(BodyOf(request), "types:Attributes");
    }
};

TEST_F(CheckIn, FileGoesToTheTargetWithEveryAttributeInOrder) {
    std::string bytes = BinaryBytes(4096);
    std::wstring path = ClipFile("a.mxf", bytes);
    AttributeList attributes(
        access, {{L"USER", L"Title", L"Clip one"}, {L"SYSTEM", L"Hidden", L"x"}, {L"", L"", L"plain"}});
    LastError() = "before";
    Reply(Response("CheckIn", "<types:InterplayURI>" + kNewURI + "</types:InterplayURI>"));

    EXPECT_EQ(S_OK, access->CheckIn(path.c_str(), L"interplay://WG/Projects/In", attributes));

    ScriptedServer::Request request = OnlyRequest();
    RequestReader reader;
    types__CheckInType sent;
    ASSERT_TRUE(reader.Read(request, "types:CheckIn", sent));
    EXPECT_EQ("interplay://WG/Projects/In", sent.InterplayURI);
    EXPECT_EQ(bytes, Bytes(sent.File));
    EXPECT_EQ(std::string::npos, request.body.find("VersionComment"));
    // "SYSTEM" is no exception here.
    EXPECT_EQ(
        "<types:Attributes><types:Attribute Group=\"USER\" Name=\"Title\">Clip one</types:Attribute>"
        "<types:Attribute Group=\"SYSTEM\" Name=\"Hidden\">x</types:Attribute>"
        "<types:Attribute>plain</types:Attribute></types:Attributes>",
        AttributesOf(request));
    // The response's URI is not kept; nothing logged, no text left.
    EXPECT_EQ("", Peer().lastCheckedInURI());
    EXPECT_EQ("before", LastError());
    EXPECT_TRUE(Logged().empty());
}

TEST_F(CheckIn, CheckInFailuresKeepTheMessageAndLogNothing) {
    std::wstring path = ClipFile("a.mxf", "data");
    Reply(Response("CheckIn", Errors("no \xE4\xB8\xAD", "the details")));
    EXPECT_EQ(ZU_E_SERVERERROR, access->CheckIn(path.c_str(), L"interplay://WG/In", nullptr));
    EXPECT_EQ("no " + kZhongGbk, LastError());

    Reply(Fault(), 500);
    EXPECT_EQ(SOAP_SVR_FAULT, access->CheckIn(path.c_str(), L"interplay://WG/In", nullptr));
    EXPECT_EQ(ZU_TEXT_NO_WEB_SERVICE, LastError());

    Unreachable();
    LastError() = "";
    EXPECT_EQ(SOAP_TCP_ERROR, access->CheckIn(path.c_str(), L"interplay://WG/In", nullptr));
    EXPECT_EQ(ZU_TEXT_NO_WEB_SERVICE, LastError());
    EXPECT_TRUE(Logged().empty());
}

// The result of a check-in that went through is that of the list's GetCount,
// replaced by each attribute's GetValue in turn; the attributes still go out.
TEST_F(CheckIn, ResultOfAGoodExchangeIsTheListsLastReading) {
    std::wstring path = ClipFile("a.aaf", "AAF");
    const HRESULT kCountFailed = static_cast<HRESULT>(0x80070001);
    const HRESULT kValueFailed = static_cast<HRESULT>(0x80070002);
    FakeAttribute good(L"v1", S_OK), bad(L"v2", kValueFailed);

    // A failed GetCount gives no count to go by.
    FakeList countFails(kCountFailed, {&good});
    FakeList lastFails(S_OK, {&good, &bad});
    FakeList firstFails(S_OK, {&bad, &good});
    FakeList itemMissing(S_OK, {&good, nullptr});
    struct Case {
        FakeList* list;
        HRESULT expected;
        const char* attributes;
    } cases[] = {
        {&countFails, kCountFailed, "<types:Attributes></types:Attributes>"},
        {&lastFails, kValueFailed,
         "<types:Attributes><types:Attribute Group=\"G\" Name=\"N\">v1</types:Attribute>"
         "<types:Attribute Group=\"G\" Name=\"N\">v2</types:Attribute></types:Attributes>"},
        {&firstFails, S_OK,
         "<types:Attributes><types:Attribute Group=\"G\" Name=\"N\">v2</types:Attribute>"
         "<types:Attribute Group=\"G\" Name=\"N\">v1</types:Attribute></types:Attributes>"},
        {&itemMissing, S_OK,
         "<types:Attributes><types:Attribute Group=\"G\" Name=\"N\">v1</types:Attribute></types:Attributes>"},
    };
    for (bool aaf : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(aaf);
            Reply(Response(aaf ? "CheckInAAF" : "CheckIn"));
            HRESULT hr = aaf ? access->CheckInAAF(path.c_str(), L"interplay://WG/In", c.list, nullptr)
                             : access->CheckIn(path.c_str(), L"interplay://WG/In", c.list);
            EXPECT_EQ(c.expected, hr);
            EXPECT_EQ(c.attributes, AttributesOf(Requests().back()));
        }
        // Server errors and transport failures win over the list's result.
        Reply(Response(aaf ? "CheckInAAF" : "CheckIn", Errors("m", "d")));
        EXPECT_EQ(ZU_E_SERVERERROR, aaf ? access->CheckInAAF(path.c_str(), L"u", &lastFails, nullptr)
                                        : access->CheckIn(path.c_str(), L"u", &lastFails));
    }
    // Every reference the operations took was given back.
    EXPECT_EQ(1u, good.m_references);
    EXPECT_EQ(1u, bad.m_references);
}

TEST_F(CheckIn, AafGoesOutWithItsHeadframeAndWithoutSystemAttributes) {
    std::string aafBytes = BinaryBytes(10000), jpegBytes = "\xFF\xD8\xFF\xE0" + BinaryBytes(333);
    roots.drives().write("c/clips/\xE7\xB4\xA0\xE6\x9D\x90.aaf", aafBytes); // 素材.aaf
    std::wstring aaf = L"C:\\clips\\\x7D20\x6750.aaf";
    std::wstring jpeg = ClipFile("h.jpg", jpegBytes);
    AttributeList attributes(access, {{L"SYSTEM", L"Duration", L"100"},
                                      {L"system", L"Lower", L"1"},
                                      {L"SYSTEM2", L"Longer", L"2"},
                                      {L"USER", L"Title", L"t"},
                                      {L"SYSTEM", L"Tracks", L"V1"}});
    for (bool extended : {false, true}) {
        SCOPED_TRACE(extended);
        Reply(Response("CheckInAAF", "<types:InterplayURI>" + kNewURI + "</types:InterplayURI>"));
        const wchar_t* out = nullptr;
        EXPECT_EQ(S_OK, CheckInAAF(extended, aaf, attributes, jpeg.c_str(), &out));

        ScriptedServer::Request request = Requests().back();
        RequestReader reader;
        types__CheckInAAFType sent;
        ASSERT_TRUE(reader.Read(request, "types:CheckInAAF", sent));
        EXPECT_EQ("interplay://WG/Projects/New", sent.InterplayURI);
        EXPECT_EQ(aafBytes, Bytes(sent.AAF));
        ASSERT_NE(nullptr, sent.Headframe);
        EXPECT_EQ(jpegBytes, Bytes(*sent.Headframe));
        EXPECT_EQ(
            "<types:Attributes><types:Attribute Group=\"system\" Name=\"Lower\">1</types:Attribute>"
            "<types:Attribute Group=\"SYSTEM2\" Name=\"Longer\">2</types:Attribute>"
            "<types:Attribute Group=\"USER\" Name=\"Title\">t</types:Attribute></types:Attributes>",
            AttributesOf(request));
        EXPECT_EQ(kNewURI, Peer().lastCheckedInURI());
        if (extended) {
            ASSERT_NE(nullptr, out);
            EXPECT_EQ(Wide(kNewURI), out);
        }
        EXPECT_TRUE(Logged().empty());
    }

    // No headframe path, no headframe; no list, no attributes.
    Reply(Response("CheckInAAF", "<types:InterplayURI>" + kNewURI + "</types:InterplayURI>"));
    EXPECT_EQ(S_OK, CheckInAAF(false, aaf, nullptr, nullptr));
    std::string body = BodyOf(Requests().back());
    EXPECT_EQ(std::string::npos, body.find("Headframe"));
    EXPECT_EQ(std::string::npos, body.find("Attributes"));
}

// Slots 5 and 6 narrow group, name and value through 16, 128 and 260 bytes,
// cut at whole characters; slot 32 sends them whole.
TEST_F(CheckIn, AttributeTextsAreCutToTheirBuffersExceptInTheExtendedCheckIn) {
    std::wstring path = ClipFile("a.aaf", "AAF");
    const std::wstring fitsGroup = L"abcdefghijklm\x4E2D";              // 15 bytes
    const std::wstring overGroup = L"abcdefghijklmn\x4E2D";             // 16 bytes
    const std::wstring fitsName = std::wstring(125, L'n') + L"\x4E2D";  // 127 bytes
    const std::wstring overName = std::wstring(126, L'n') + L"\x4E2D";  // 128 bytes
    const std::wstring fitsValue = std::wstring(257, L'v') + L"\x4E2D"; // 259 bytes
    const std::wstring overValue = std::wstring(258, L'v') + L"\x4E2D"; // 260 bytes
    AttributeList attributes(access, {{fitsGroup, fitsName, fitsValue}, {overGroup, overName, overValue}});

    auto attribute = [](const std::string& group, const std::string& name, const std::string& value) {
        return "<types:Attribute Group=\"" + group + "\" Name=\"" + name + "\">" + value +
               "</types:Attribute>";
    };
    const std::string fits = attribute("abcdefghijklm" + kZhongRef, std::string(125, 'n') + kZhongRef,
                                       std::string(257, 'v') + kZhongRef);
    const std::string cut = attribute("abcdefghijklmn", std::string(126, 'n'), std::string(258, 'v'));
    const std::string whole = attribute("abcdefghijklmn" + kZhongRef, std::string(126, 'n') + kZhongRef,
                                        std::string(258, 'v') + kZhongRef);

    Reply(Response("CheckIn"));
    EXPECT_EQ(S_OK, access->CheckIn(path.c_str(), L"interplay://WG/In", attributes));
    EXPECT_EQ("<types:Attributes>" + fits + cut + "</types:Attributes>", AttributesOf(Requests().back()));
    for (bool extended : {false, true}) {
        Reply(Response("CheckInAAF"));
        EXPECT_EQ(S_OK, CheckInAAF(extended, path, attributes, nullptr));
        EXPECT_EQ("<types:Attributes>" + fits + (extended ? whole : cut) + "</types:Attributes>",
                  AttributesOf(Requests().back()));
    }
}

TEST_F(CheckIn, ExtendedCheckInSendsTheLongestTextsWhole) {
    std::wstring path = ClipFile("a.aaf", "AAF");
    std::wstring longValue(259, L'\x6587'); // the longest value an attribute holds: 518 bytes
    AttributeList attributes(access, {{L"SYSTEM", L"Dropped", L"x"}, {L"USER", L"Long", longValue}});
    Reply(Response("CheckInAAF"));
    EXPECT_EQ(S_OK, CheckInAAF(true, path, attributes, nullptr));
    std::string refs;
    for (int i = 0; i < 259; ++i) refs += "&#25991;";
    EXPECT_EQ("<types:Attributes><types:Attribute Group=\"USER\" Name=\"Long\">" + refs +
                  "</types:Attribute></types:Attributes>",
              AttributesOf(Requests().back()));
}

TEST_F(CheckIn, ServerErrorsGoThroughCheckErrorInfo) {
    std::wstring path = ClipFile("a.aaf", "AAF");
    std::string longDetails(300, 'd');
    for (bool extended : {false, true}) {
        SCOPED_TRACE(extended);
        capture.clear();
        // A report without the phrase is a server error.
        Reply(Response("CheckInAAF", Errors("\xE5\xA4\xB1\xE8\xB4\xA5", longDetails) +
                                         "<types:InterplayURI>" + kNewURI + "</types:InterplayURI>"));
        const wchar_t* out = L"untouched";
        EXPECT_EQ(ZU_E_SERVERERROR, CheckInAAF(extended, path, nullptr, nullptr, &out));
        EXPECT_EQ(longDetails, LastError());
        EXPECT_EQ((std::vector<std::string>{Line(kErrorInfoLine, "\xCA\xA7\xB0\xDC"), // 失败 in GBK
                                            Line(kDetailsLine, std::string(259, 'd'))}),
                  Logged());
        EXPECT_STREQ(L"untouched", out);
        EXPECT_EQ("", Peer().lastCheckedInURI());

        // The server's wording for a check-in that went through.
        capture.clear();
        Reply(Response("CheckInAAF", Errors("indexing", kSucceeded) + "<types:InterplayURI>" + kNewURI +
                                         "</types:InterplayURI>"));
        EXPECT_EQ(S_OK, CheckInAAF(extended, path, nullptr, nullptr, &out));
        EXPECT_EQ(kSucceeded, LastError());
        EXPECT_EQ(
            (std::vector<std::string>{Line(kErrorInfoLine, "indexing"), Line(kDetailsLine, kSucceeded)}),
            Logged());
        // Only slot 32 hands the asset back then.
        EXPECT_EQ(extended ? Wide(kNewURI) : std::wstring(L"untouched"), out);
        EXPECT_EQ(extended ? kNewURI : "", Peer().lastCheckedInURI());
    }
}

TEST_F(CheckIn, TransportFailuresReturnTheRuntimeCodeAndLogTwoLines) {
    std::wstring path = ClipFile("a.aaf", "AAF");
    for (bool extended : {false, true}) {
        capture.clear();
        Reply(Fault(), 500);
        const wchar_t* out = L"untouched";
        EXPECT_EQ(SOAP_SVR_FAULT, CheckInAAF(extended, path, nullptr, nullptr, &out));
        EXPECT_EQ(ZU_TEXT_NO_WEB_SERVICE, LastError());
        EXPECT_EQ((std::vector<std::string>{Line(kValueLine, "2"), Line(kFalseLine, kNoWebService)}),
                  Logged());
        EXPECT_STREQ(L"untouched", out);
    }
    Unreachable();
    capture.clear();
    EXPECT_EQ(SOAP_TCP_ERROR, CheckInAAF(false, path, nullptr, nullptr));
    EXPECT_EQ((std::vector<std::string>{Line(kValueLine, "28"), Line(kFalseLine, kNoWebService)}), Logged());
    EXPECT_EQ("", Peer().lastCheckedInURI());
}

TEST_F(CheckIn, NewAssetUriIsStoredAsTheSlotsSay) {
    std::wstring path = ClipFile("a.aaf", "AAF");
    Reply(Response("CheckInAAF", "<types:InterplayURI>interplay://WG/first</types:InterplayURI>"));
    ASSERT_EQ(S_OK, CheckInAAF(false, path, nullptr, nullptr));
    EXPECT_EQ("interplay://WG/first", Peer().lastCheckedInURI());

    // Slot 32 without an out-parameter stores nothing, and still checks in.
    Reply(Response("CheckInAAF", "<types:InterplayURI>interplay://WG/second</types:InterplayURI>"));
    EXPECT_EQ(S_OK, CheckInAAF(true, path, nullptr, nullptr, nullptr));
    EXPECT_EQ("interplay://WG/first", Peer().lastCheckedInURI());
    EXPECT_EQ(2u, server.connections());

    // The handed-back text lives until the next operation that hands back text.
    const wchar_t* out = nullptr;
    Reply(Response("CheckInAAF", "<types:InterplayURI>interplay://WG/\xE4\xB8\xAD</types:InterplayURI>"));
    ASSERT_EQ(S_OK, CheckInAAF(true, path, nullptr, nullptr, &out));
    EXPECT_STREQ(L"interplay://WG/\x4E2D", out);
    EXPECT_EQ("interplay://WG/" + kZhongGbk, Peer().lastCheckedInURI());
    Reply(Response("CreateFolder"));
    ASSERT_EQ(S_OK, access->CreateFolder(L"interplay://WG/Other"));
    EXPECT_STREQ(L"interplay://WG/\x4E2D", out);

    // A response without the URI leaves an empty one, not the previous one.
    Reply(Response("CheckInAAF"));
    ASSERT_EQ(S_OK, CheckInAAF(true, path, nullptr, nullptr, &out));
    EXPECT_STREQ(L"", out);
    EXPECT_EQ("", Peer().lastCheckedInURI());
    Reply(Response("CheckInAAF", "<types:InterplayURI>interplay://WG/third</types:InterplayURI>"));
    ASSERT_EQ(S_OK, CheckInAAF(false, path, nullptr, nullptr));
    Reply(Response("CheckInAAF", "<types:Errors/>"));
    ASSERT_EQ(S_OK, CheckInAAF(false, path, nullptr, nullptr));
    EXPECT_EQ("", Peer().lastCheckedInURI());
}

TEST_F(CheckIn, BodiesDecodeToTheExactFileBytes) {
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {{"empty.aaf", ""}, {"one.aaf", "\x00"}, {"binary.aaf", BinaryBytes(100001)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring path = ClipFile(c.name, c.bytes);
        Reply(Response("CheckInAAF"));
        ASSERT_EQ(S_OK, CheckInAAF(false, path, nullptr, path.c_str()));
        Reply(Response("CheckIn"));
        ASSERT_EQ(S_OK, access->CheckIn(path.c_str(), L"interplay://WG/In", nullptr));
        std::vector<ScriptedServer::Request> requests = Requests();
        RequestReader reader;
        types__CheckInAAFType aaf;
        ASSERT_TRUE(reader.Read(requests[requests.size() - 2], "types:CheckInAAF", aaf));
        EXPECT_EQ(c.bytes, Bytes(aaf.AAF));
        ASSERT_NE(nullptr, aaf.Headframe);
        EXPECT_EQ(c.bytes, Bytes(*aaf.Headframe));
        types__CheckInType plain;
        ASSERT_TRUE(reader.Read(requests.back(), "types:CheckIn", plain));
        EXPECT_EQ(c.bytes, Bytes(plain.File));
    }
}

TEST_F(CheckIn, LargeFileDecodesToTheExactBytes) {
    const std::string bytes = BinaryBytes(64u << 20);
    std::wstring path = ClipFile("large.aaf", bytes);
    Reply(Response("CheckInAAF", "<types:InterplayURI>" + kNewURI + "</types:InterplayURI>"));
    ASSERT_EQ(S_OK, CheckInAAF(false, path, nullptr, nullptr));
    RequestReader reader;
    types__CheckInAAFType sent;
    ASSERT_TRUE(reader.Read(OnlyRequest(), "types:CheckInAAF", sent));
    ASSERT_EQ(static_cast<int>(bytes.size()), sent.AAF.__size);
    EXPECT_TRUE(Bytes(sent.AAF) == bytes);
}

// A file that cannot be read whole stops the check-in before anything is
// sent; the last error text names the file.
TEST_F(CheckIn, UnreadableFilesSendNothing) {
    std::wstring good = ClipFile("good.aaf", "AAF");
    // A sparse file of exactly 2 GiB.
    {
        int fd = ::open(Drive("c/clips/huge.aaf").c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(0, ftruncate(fd, off_t(1) << 31));
        ::close(fd);
    }
    MakeFolder("c/clips/folder.aaf");
    struct Case {
        std::wstring path;
        HRESULT expected;
        std::string text;
    };
    const std::string kCannotRead = ZU_TEXT_CANNOT_READ;
    const std::string kTooLarge = ZU_TEXT_TOO_LARGE;
    std::vector<Case> cases = {
        {L"C:\\clips\\missing.aaf", HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND),
         kCannotRead + "C:\\clips\\missing.aaf"},
        {L"C:\\nowhere\\a.aaf", HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND), kCannotRead + "C:\\nowhere\\a.aaf"},
        {L"C:\\clips\\huge.aaf", HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE), kTooLarge + "C:\\clips\\huge.aaf"},
        {L"C:\\clips\\folder.aaf", HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED),
         kCannotRead + "C:\\clips\\folder.aaf"},
        {L"C:\\\x7D20\x6750\\a.aaf", HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND),
         kCannotRead + "C:\\\xCB\xD8\xB2\xC4\\a.aaf"}, // 素材 in GBK
    };
    // A file that reads shorter than its size says (a kernel attribute file).
    const char* shortFile = "/sys/kernel/mm/transparent_hugepage/enabled";
    if (::access(shortFile, R_OK) == 0) {
        std::filesystem::create_symlink(shortFile, Drive("c/clips/short.aaf"));
        cases.push_back({L"C:\\clips\\short.aaf", HRESULT_FROM_WIN32(ERROR_HANDLE_EOF),
                         kCannotRead + "C:\\clips\\short.aaf"});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text));
        for (int slot : {5, 6, 32}) {
            SCOPED_TRACE(slot);
            LastError() = "before";
            HRESULT hr = slot == 5 ? access->CheckIn(c.path.c_str(), L"interplay://WG/In", nullptr)
                                   : CheckInAAF(slot == 32, c.path, nullptr, good.c_str());
            EXPECT_EQ(c.expected, hr);
            EXPECT_EQ(c.text, LastError());
            // The headframe file is checked as well.
            if (slot != 5) {
                LastError() = "before";
                EXPECT_EQ(c.expected, CheckInAAF(slot == 32, good, nullptr, c.path.c_str()));
                EXPECT_EQ(c.text, LastError());
            }
        }
    }
    EXPECT_EQ(0u, server.connections());
    EXPECT_TRUE(Logged().empty());
    EXPECT_EQ("", Peer().lastCheckedInURI());
}

// A file that shrinks after it was checked, while it is sent: the request is
// cut short (the server never gets it whole) and the call fails naming the
// file, not the service, logging nothing.
TEST_F(CheckIn, FileThatShrinksWhileSentCutsTheRequest) {
    // Far more than the socket buffers take before the server reads.
    const std::string bytes = BinaryBytes(16u << 20);
    for (int slot : {5, 6}) {
        SCOPED_TRACE(slot);
        std::wstring path = ClipFile("shrinking.aaf", bytes);
        ScriptedServer::Reply reply =
            ScriptedServer::Reply::http(Response(slot == 5 ? "CheckIn" : "CheckInAAF"));
        std::filesystem::path file = Drive("c/clips/shrinking.aaf");
        reply.whenRequestArrives = [file] { std::filesystem::resize_file(file, 1000); };
        server.enqueue(reply);
        LastError() = "before";
        HRESULT hr = slot == 5 ? access->CheckIn(path.c_str(), L"interplay://WG/In", nullptr)
                               : CheckInAAF(false, path, nullptr, nullptr);
        EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_HANDLE_EOF), hr);
        EXPECT_EQ(ZU_TEXT_CANNOT_READ + std::string("C:\\clips\\shrinking.aaf"), LastError());
        std::vector<ScriptedServer::Request> requests = Requests();
        ASSERT_FALSE(requests.empty());
        const ScriptedServer::Request& sent = requests.back();
        size_t bodyStart = sent.raw.find("\r\n\r\n");
        ASSERT_NE(std::string::npos, bodyStart);
        EXPECT_LT(sent.raw.size() - bodyStart - 4, std::stoul(sent.header("Content-Length")));
    }
    EXPECT_TRUE(Logged().empty());
}

TEST_F(CheckIn, NullArgumentsAreRefusedBeforeAnythingHappens) {
    std::wstring path = ClipFile("a.aaf", "AAF");
    LastError() = "before";
    const wchar_t* out = L"untouched";
    EXPECT_EQ(ZU_E_INVALIDARG, access->CheckIn(nullptr, L"interplay://WG/In", nullptr));
    EXPECT_EQ(ZU_E_INVALIDARG, access->CheckIn(path.c_str(), nullptr, nullptr));
    EXPECT_EQ(ZU_E_INVALIDARG, access->CheckInAAF(nullptr, L"interplay://WG/In", nullptr, nullptr));
    EXPECT_EQ(ZU_E_INVALIDARG, access->CheckInAAF(path.c_str(), nullptr, nullptr, path.c_str()));
    EXPECT_EQ(ZU_E_INVALIDARG, access->CheckInAAFEx(nullptr, L"interplay://WG/In", nullptr, nullptr, &out));
    EXPECT_EQ(ZU_E_INVALIDARG, access->CheckInAAFEx(path.c_str(), nullptr, nullptr, nullptr, &out));
    EXPECT_STREQ(L"untouched", out);
    EXPECT_EQ("before", LastError());
    EXPECT_EQ(0u, server.connections());
}

TEST_F(CheckIn, LongUrisAndPathsAreCutAtWholeCharacters) {
    // 258 bytes of path, then a character that no longer fits in 260 bytes:
    // the cut path names no file.
    std::string folder(200, 'f');
    MakeFolder("c/" + folder);
    std::wstring longPath = L"C:\\" + Wide(folder) + L"\\" + std::wstring(54, L'a') + L"\x4E2D";
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), access->CheckIn(longPath.c_str(), L"u", nullptr));
    EXPECT_EQ(ZU_TEXT_CANNOT_READ + ("C:\\" + folder) + "\\" + std::string(54, 'a'), LastError());

    std::wstring path = ClipFile("a.aaf", "AAF");
    std::wstring uri = std::wstring(258, L'u') + L"\x4E2D";
    Reply(Response("CheckInAAF"));
    ASSERT_EQ(S_OK, access->CheckInAAF(path.c_str(), uri.c_str(), nullptr, nullptr));
    EXPECT_EQ("<types:InterplayURI>" + std::string(258, 'u') + "</types:InterplayURI>",
              elementOf(BodyOf(OnlyRequest()), "types:InterplayURI"));
}

} // namespace
