// The access object's connection interface: its settings with their built-in
// and machine-wide defaults, the time-outs against hung servers, what the last
// exchange met (SOAP faults included, and the bytes it moved) and, in a build
// without TLS, the refusal of https:// URLs.
#include <wchar.h>

#include <chrono>

#include "AssetsPortBinding.h"
#include "CZuConnectionSettings.h"
#include "IZuInterplayConnection.h"
#include "KoWindows.h"
#include "ServiceTestSupport.h"

using namespace service_test;

namespace {

const std::wstring kFolder = L"interplay://WG";

// A text of the last exchange, through a buffer of the size it asks for.
std::wstring TransportText(IZuInterplayConnection* connection, int kind) {
    int needed = 0;
    if (connection->GetLastTransportText(kind, nullptr, 0, &needed) != S_OK || needed < 1) return L"<none>";
    std::wstring text(static_cast<size_t>(needed), L'#');
    if (connection->GetLastTransportText(kind, &text[0], needed, nullptr) != S_OK) return L"<cut>";
    text.resize(static_cast<size_t>(needed - 1));
    return text;
}

class Connection : public ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        ASSERT_EQ(S_OK,
                  access->QueryInterface(IID_IZuInterplayConnection, reinterpret_cast<void**>(&connection)));
    }
    void TearDown() override {
        if (connection) connection->Release();
        ServiceTest::TearDown();
    }

    // GetChildren of kFolder; the list, if any, released.
    HRESULT GetChildren() {
        IZuInterplayAssetsDescriptionsList* list = nullptr;
        HRESULT hr = access->GetChildren(kFolder.c_str(), false, &list);
        if (list) list->Release();
        return hr;
    }
    std::wstring Text(int kind) { return TransportText(connection, kind); }
    int LastCode() {
        int code = -12345;
        connection->GetLastTransportError(&code, nullptr);
        return code;
    }
    int LastStatus() {
        int status = -12345;
        connection->GetLastTransportError(nullptr, &status);
        return status;
    }
    std::vector<std::string> LoggedToFile() const {
        std::vector<std::string> lines;
        for (const kodebug::Message& m : capture.messages(kodebug::Kind::File))
            if (m.category == KO_TRACE_CATEGORY_ACCESS) lines.push_back(m.text);
        return lines;
    }

    IZuInterplayConnection* connection = nullptr;
};

// An outer object that aggregates an access object: its own IUnknown only.
struct Outer : IUnknown {
    STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override {
        if (riid != IID_IUnknown) return inner->NonDelegatingQueryInterface(riid, ppv);
        *ppv = this;
        AddRef();
        return S_OK;
    }
    STDMETHOD_(ULONG, AddRef)() override { return ++count; }
    STDMETHOD_(ULONG, Release)() override { return --count; }
    ULONG count = 1;
    CKoUnknown* inner = nullptr;
};

} // namespace

TEST_F(Connection, AnsweredByTheAccessObjectWithItsDefaults) {
    IZuInterplayAccess* back = nullptr;
    ASSERT_EQ(S_OK, connection->QueryInterface(IID_IZuInterplayAccess, reinterpret_cast<void**>(&back)));
    EXPECT_EQ(access, back);
    back->Release();

    ULONG connect = 1, idle = 1, call = 1;
    ASSERT_EQ(S_OK, connection->GetTimeouts(&connect, &idle, &call));
    EXPECT_EQ(30000u, connect);
    EXPECT_EQ(300000u, idle);
    EXPECT_EQ(0u, call);
    bool verify = false;
    ASSERT_EQ(S_OK, connection->GetVerifyServer(&verify));
    EXPECT_TRUE(verify);
    int needed = 0;
    ASSERT_EQ(S_OK, connection->GetTrustedCertificates(nullptr, 0, &needed));
    EXPECT_EQ(1, needed);
    ULONG limit = 0;
    ASSERT_EQ(S_OK, connection->GetResponseLimit(&limit));
    EXPECT_EQ(256u << 20, limit);
    EXPECT_EQ(0, LastCode());

    ASSERT_EQ(S_OK, connection->SetTimeouts(100, 200, 0));
    ASSERT_EQ(S_OK, connection->SetVerifyServer(false));
    ASSERT_EQ(S_OK, connection->SetTrustedCertificates(L"/etc/ko/ca\x4E2D.pem"));
    ASSERT_EQ(S_OK, connection->GetTimeouts(&connect, nullptr, &call));
    EXPECT_EQ(100u, connect);
    EXPECT_EQ(0u, call);
    ASSERT_EQ(S_OK, connection->GetVerifyServer(&verify));
    EXPECT_FALSE(verify);
    ASSERT_EQ(S_OK, connection->SetResponseLimit(0));
    ASSERT_EQ(S_OK, connection->GetResponseLimit(&limit));
    EXPECT_EQ(0u, limit);
    EXPECT_EQ(ZU_E_INVALIDARG, connection->GetResponseLimit(nullptr));
    // Texts come back whole, or cut to the buffer with S_FALSE.
    wchar_t buffer[8];
    for (wchar_t& c : buffer) c = L'#';
    EXPECT_EQ(S_FALSE, connection->GetTrustedCertificates(buffer, 5, &needed));
    EXPECT_EQ(16, needed);
    EXPECT_STREQ(L"/etc", buffer);
    EXPECT_EQ(L'#', buffer[5]);
    EXPECT_EQ(ZU_E_INVALIDARG, connection->GetTrustedCertificates(nullptr, 4, &needed));
    EXPECT_EQ(ZU_E_INVALIDARG, connection->GetLastTransportText(7, buffer, 8, nullptr));
    EXPECT_EQ(ZU_E_INVALIDARG, connection->GetVerifyServer(nullptr));
    ASSERT_EQ(S_OK, connection->SetTrustedCertificates(nullptr));
    ASSERT_EQ(S_OK, connection->GetTrustedCertificates(buffer, 8, &needed));
    EXPECT_STREQ(L"", buffer);
}

TEST_F(Connection, AggregatedTheInterfaceDelegatesToTheOuterObject) {
    Outer outer;
    HRESULT hr = E_FAIL;
    outer.inner = CreateAccessObject(&outer, &hr);
    ASSERT_NE(nullptr, outer.inner);
    outer.inner->NonDelegatingAddRef();
    IZuInterplayConnection* aggregated = nullptr;
    ASSERT_EQ(S_OK, outer.inner->NonDelegatingQueryInterface(IID_IZuInterplayConnection,
                                                             reinterpret_cast<void**>(&aggregated)));
    EXPECT_EQ(2u, outer.count);
    IUnknown* identity = nullptr;
    ASSERT_EQ(S_OK, aggregated->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)));
    EXPECT_EQ(static_cast<IUnknown*>(&outer), identity);
    identity->Release();
    IZuInterplayAccess* sibling = nullptr;
    ASSERT_EQ(S_OK, aggregated->QueryInterface(IID_IZuInterplayAccess, reinterpret_cast<void**>(&sibling)));
    sibling->Release();
    aggregated->Release();
    EXPECT_EQ(1u, outer.count);
    outer.inner->NonDelegatingRelease();
}

// An administrator's values under the component's key are taken by every
// access object created afterwards; what is absent or unreadable keeps its
// default.
TEST_F(Connection, MachineWideDefaultsComeFromTheRegistry) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExW(HKEY_CLASSES_ROOT, CZuConnectionSettings::RegistryKey().c_str(), 0, nullptr,
                              REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key, nullptr));
    auto setNumber = [&](const wchar_t* name, DWORD value) {
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, name, 0, REG_DWORD,
                                                reinterpret_cast<const BYTE*>(&value), sizeof value));
    };
    auto setText = [&](const wchar_t* name, const std::wstring& value) {
        ASSERT_EQ(ERROR_SUCCESS,
                  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))));
    };
    setNumber(L"ConnectTimeoutMs", 5000);
    setText(L"IdleTimeoutMs", L"60000");
    setText(L"CallTimeoutMs", L"soon"); // unreadable: the default stays
    setText(L"TrustedCertificates", L"/etc/ko/ca.pem");
    setNumber(L"VerifyServerCertificate", 0);
    setText(L"ResponseLimitBytes", L"1048576");
    RegCloseKey(key);

    IZuInterplayAccess* configured = NewAccessObject();
    ASSERT_NE(nullptr, configured);
    IZuInterplayConnection* settings = nullptr;
    ASSERT_EQ(S_OK,
              configured->QueryInterface(IID_IZuInterplayConnection, reinterpret_cast<void**>(&settings)));
    ULONG connect = 0, idle = 0, call = 1;
    settings->GetTimeouts(&connect, &idle, &call);
    EXPECT_EQ(5000u, connect);
    EXPECT_EQ(60000u, idle);
    EXPECT_EQ(0u, call);
    bool verify = true;
    settings->GetVerifyServer(&verify);
    EXPECT_FALSE(verify);
    wchar_t ca[32];
    ASSERT_EQ(S_OK, settings->GetTrustedCertificates(ca, 32, nullptr));
    EXPECT_STREQ(L"/etc/ko/ca.pem", ca);
    ULONG limit = 0;
    settings->GetResponseLimit(&limit);
    EXPECT_EQ(1048576u, limit);
    settings->Release();
    configured->Release();
}

// Each hung server ends the call within its time-out and a margin, as a
// transport failure; the object's next call works.
TEST_F(Connection, HungServersEndTheCallWithinItsTimeOut) {
    const std::string ok = Response("GetChildren", "<types:Results/>");
    const std::string answer = ScriptedServer::Reply::http(ok).bytes;
    const std::string longAnswer =
        ScriptedServer::Reply::http(
            Response("GetChildren", "<types:Results>" + std::string(4000, ' ') + "</types:Results>"))
            .bytes;
    struct Case {
        const char* name;
        ScriptedServer::Reply reply;
        ULONG idleMs, callMs;
    } cases[] = {
        {"accepts and never reads", ScriptedServer::Reply::stall("", true), 300, 0},
        {"reads and never answers", ScriptedServer::Reply::stall(), 300, 0},
        {"status line, then stalls", ScriptedServer::Reply::stall("HTTP/1.1 200 OK\r\n"), 300, 0},
        {"half the body, then stalls",
         ScriptedServer::Reply::stall(answer.substr(0, answer.size() - ok.size() / 2)), 300, 0},
        {"trickles slower than the idle time-out", ScriptedServer::Reply::trickle(answer, 600), 300, 0},
        {"trickles past the whole-call deadline", ScriptedServer::Reply::trickle(longAnswer, 50), 300, 1000},
        {"never answers, no idle time-out but a deadline", ScriptedServer::Reply::stall(), 0, 500},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(S_OK, connection->SetTimeouts(1000, c.idleMs, c.callMs));
        LastError() = "";
        server.enqueue(c.reply);
        auto start = std::chrono::steady_clock::now();
        HRESULT hr = GetChildren();
        auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_LT(seconds, 5.0);
        EXPECT_EQ(SOAP_EOF, hr);
        EXPECT_EQ(ZU_TEXT_NO_WEB_SERVICE, LastError());
        EXPECT_EQ(SOAP_EOF, LastCode());
        EXPECT_NE(std::wstring::npos, Text(ZU_TRANSPORT_RUNTIME_WORDS).find(L"timed out"))
            << KoNarrow(Text(ZU_TRANSPORT_RUNTIME_WORDS).c_str());
        EXPECT_EQ(L"", Text(ZU_TRANSPORT_FAULT_STRING));
        server.waitForConnections(server.connections());

        Reply(ok);
        EXPECT_EQ(S_OK, GetChildren());
        EXPECT_EQ(0, LastCode());
        EXPECT_EQ(200, LastStatus());
    }
}

// A SOAP fault: the result and the last error text stay the module's; the
// fault's code, string and detail reach the interface and the log file, with
// the operation's name and without the password.
TEST_F(Connection, SoapFaultDetailsReachTheInterfaceAndTheLogFile) {
    const std::string faultString =
        "\xE6\x9C\x8D\xE5\x8A\xA1\xE5\x99\xA8\xE5\x86\x85\xE9\x83\xA8\xE9\x94\x99"
        "\xE8\xAF\xAF: user editor, password secret"; // 服务器内部错误
    Reply(Envelope("<SOAP-ENV:Fault><faultcode>SOAP-ENV:Server</faultcode><faultstring>" + faultString +
                   "</faultstring><detail><types:AssetsFaultType Code=\"E42\"><types:Message>Disk full"
                   "</types:Message><types:Details>volume V1</types:Details></types:AssetsFaultType>"
                   "</detail></SOAP-ENV:Fault>"),
          500);
    EXPECT_EQ(SOAP_SVR_FAULT, GetChildren());
    EXPECT_EQ(ZU_TEXT_NO_WEB_SERVICE, LastError());
    EXPECT_EQ(SOAP_SVR_FAULT, LastCode());
    EXPECT_EQ(500, LastStatus());
    EXPECT_EQ(L"SOAP-ENV:Server", Text(ZU_TRANSPORT_FAULT_CODE));
    EXPECT_EQ(L"\x670D\x52A1\x5668\x5185\x90E8\x9519\x8BEF: user editor, password ***",
              Text(ZU_TRANSPORT_FAULT_STRING));
    EXPECT_EQ(L"E42; Disk full; volume V1", Text(ZU_TRANSPORT_FAULT_DETAIL));
    EXPECT_EQ(L"Server fault", Text(ZU_TRANSPORT_RUNTIME_WORDS));

    std::vector<std::string> file = LoggedToFile();
    ASSERT_EQ(1u, file.size());
    EXPECT_NE(std::string::npos, file[0].find("GetChildren")) << file[0];
    EXPECT_NE(std::string::npos, file[0].find("SOAP-ENV:Server")) << file[0];
    EXPECT_NE(std::string::npos, file[0].find(KoNarrow(L"\x670D\x52A1\x5668\x5185\x90E8\x9519\x8BEF")))
        << file[0];
    EXPECT_NE(std::string::npos, file[0].find("E42; Disk full; volume V1")) << file[0];
    EXPECT_EQ(std::string::npos, file[0].find("secret")) << file[0];

    // An HTTP error without a fault: the status, and the runtime's words
    // with the body it read.
    Reply("<html>no such service</html>", 404);
    EXPECT_EQ(404, GetChildren());
    EXPECT_EQ(404, LastStatus());
    EXPECT_EQ(L"", Text(ZU_TRANSPORT_FAULT_CODE));
    EXPECT_EQ(L"", Text(ZU_TRANSPORT_FAULT_STRING));
    EXPECT_EQ(L"HTTP Error: <html>no such service</html>", Text(ZU_TRANSPORT_RUNTIME_WORDS))
        << KoNarrow(Text(ZU_TRANSPORT_RUNTIME_WORDS).c_str());
    // What the exchange moved: the request, and the answer with its headers.
    unsigned long long sent = 0, received = 0;
    EXPECT_EQ(2, swscanf(Text(ZU_TRANSPORT_EXCHANGE_SIZES).c_str(), L"%llu bytes sent, %llu bytes received",
                         &sent, &received));
    EXPECT_GT(sent, 200u);
    EXPECT_GT(received, 60u);

    // Another failure replaces it all: a refused connection has no fault.
    Unreachable();
    EXPECT_EQ(SOAP_TCP_ERROR, GetChildren());
    EXPECT_EQ(0, LastStatus());
    EXPECT_EQ(L"", Text(ZU_TRANSPORT_FAULT_CODE));
    EXPECT_NE(L"", Text(ZU_TRANSPORT_RUNTIME_WORDS));
    EXPECT_EQ(L"0 bytes sent, 0 bytes received", Text(ZU_TRANSPORT_EXCHANGE_SIZES));
}

TEST_F(Connection, HttpsIsRefusedWithoutTlsAndNothingIsSent) {
    if (AssetsPortBinding::SupportsTls()) GTEST_SKIP() << "this build speaks TLS (AccessHttpsTest)";
    std::string url = server.url();
    ASSERT_EQ(S_OK, access->SetServiceURL(Wide("HTTPS" + url.substr(4)).c_str()));
    Reply(Response("GetChildren"));
    EXPECT_EQ(SOAP_SSL_ERROR, GetChildren());
    EXPECT_EQ(ZU_TEXT_NO_TLS, LastError());
    EXPECT_EQ(SOAP_SSL_ERROR, LastCode());
    EXPECT_NE(std::wstring::npos, Text(ZU_TRANSPORT_RUNTIME_WORDS).find(L"TLS"));
    EXPECT_EQ(0u, server.connections());
}

// A response beyond the response limit is refused as a transport failure with
// its own text; the same response within the limit is read.
TEST_F(Connection, ResponsesBeyondTheLimitAreRefused) {
    std::string assets = "<types:Results>";
    for (int i = 0; i < 40; ++i)
        assets += "<types:AssetDescription><types:InterplayURI>interplay://WG/a" + std::to_string(i) +
                  "</types:InterplayURI></types:AssetDescription>";
    const std::string response = Response("GetChildren", assets + "</types:Results>");
    ASSERT_EQ(S_OK, connection->SetResponseLimit(static_cast<ULONG>(response.size() / 2)));
    Reply(response);
    EXPECT_EQ(SOAP_LENGTH, GetChildren());
    EXPECT_EQ(ZU_TEXT_RESPONSE_REFUSED, LastError());
    EXPECT_EQ(SOAP_LENGTH, LastCode());
    EXPECT_EQ(L"The response is larger than the response limit", Text(ZU_TRANSPORT_RUNTIME_WORDS));

    ASSERT_EQ(S_OK, connection->SetResponseLimit(static_cast<ULONG>(response.size() + 200)));
    Reply(response);
    EXPECT_EQ(S_OK, GetChildren());
}
