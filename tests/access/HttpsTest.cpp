// HTTPS through the access object against the simulator serving TLS with
// certificates made here: a trusted server works (CA file or system store);
// an unknown issuer, another host's certificate, an expired one and
// unreadable trusted certificates are refused before anything is sent, in
// words a user understands; verification turned off works with any
// certificate; the wrong scheme fails either way; a handshake that never ends
// keeps the deadline.
#include <stdlib.h>

#include <chrono>

#include "AssetsPortBinding.h"
#include "AssetsSimulator.h"
#include "IZuInterplayConnection.h"
#include "ServiceTestSupport.h"
#include "TestCertificates.h"

using namespace service_test;

namespace {

// A CA the client trusts and one it does not, and the servers' certificates,
// made once for the suite.
struct Certificates {
    Certificates()
        : trusted(folder.path(), "trusted-ca"),
          unknown(folder.path(), "unknown-ca"),
          good(trusted.Issue("good", {"127.0.0.1", "localhost"})),
          expired(trusted.Issue("expired", {"127.0.0.1", "localhost"}, -30, -1)),
          otherHost(trusted.Issue("other-host", {"assets.example.invalid"})),
          untrusted(unknown.Issue("untrusted", {"127.0.0.1", "localhost"})) {}
    TempDir folder;
    TestAuthority trusted, unknown;
    TestAuthority::Issued good, expired, otherHost, untrusted;
};

class Https : public ServiceTest {
protected:
    static void SetUpTestSuite() { s_made = new Certificates; }
    static void TearDownTestSuite() {
        delete s_made;
        s_made = nullptr;
    }
    static const Certificates& Made() { return *s_made; }

    void SetUp() override {
        ServiceTest::SetUp();
        ASSERT_EQ(S_OK,
                  access->QueryInterface(IID_IZuInterplayConnection, reinterpret_cast<void**>(&connection)));
        // Short enough that a server that never answers ends the call soon.
        ASSERT_EQ(S_OK, connection->SetTimeouts(2000, 2000, 10000));
        ASSERT_EQ(S_OK, connection->SetTrustedCertificates(Wide(Made().trusted.CertificateFile()).c_str()));
    }
    void TearDown() override {
        if (sim) sim->Stop();
        if (connection) connection->Release();
        ServiceTest::TearDown();
    }

    // The simulator serving HTTPS with the certificate (null: plain HTTP),
    // and the access object pointed at it with scheme.
    void Serve(const TestAuthority::Issued* certificate, const std::string& scheme) {
        assets_sim::Options options;
        options.users = {{"editor", "secret"}};
        if (certificate) {
            options.tlsCertificate = certificate->certificateFile;
            options.tlsKey = certificate->keyFile;
        }
        sim = std::make_unique<assets_sim::AssetsSimulator>(options);
        std::string error;
        ASSERT_TRUE(sim->Start(&error)) << error;
        std::string url = sim->ServiceURL();
        url = scheme + url.substr(url.find(':'));
        ASSERT_EQ(S_OK, access->SetServiceURL(Wide(url).c_str()));
    }
    // CreateFolder, then GetChildren of its parent, which must list it.
    HRESULT RoundTrip() {
        const std::wstring folder = L"interplay://Workgroup/Projects/secure";
        HRESULT hr = access->CreateFolder(folder.c_str());
        if (hr != S_OK) return hr;
        IZuInterplayAssetsDescriptionsList* list = nullptr;
        hr = access->GetChildren(L"interplay://Workgroup/Projects", false, &list);
        int count = 0;
        if (list) {
            list->GetCount(&count);
            list->Release();
        }
        EXPECT_EQ(1, count);
        return hr;
    }
    HRESULT GetChildrenOfRoot() {
        IZuInterplayAssetsDescriptionsList* list = nullptr;
        HRESULT hr = access->GetChildren(L"interplay://Workgroup", false, &list);
        if (list) list->Release();
        return hr;
    }
    std::wstring RuntimeWords() {
        wchar_t text[1024] = L"";
        connection->GetLastTransportText(ZU_TRANSPORT_RUNTIME_WORDS, text, 1024, nullptr);
        return text;
    }
    int LastCode() {
        int code = -12345;
        connection->GetLastTransportError(&code, nullptr);
        return code;
    }

    IZuInterplayConnection* connection = nullptr;
    std::unique_ptr<assets_sim::AssetsSimulator> sim;
    static Certificates* s_made;
};

Certificates* Https::s_made = nullptr;

// The trusted certificates: the trusted CA's file, a file that is not there,
// or none (the system's store, here a folder with the trusted CA).
enum Trust { CA_FILE, MISSING_CA_FILE, SYSTEM_STORE };

struct Case {
    const char* name;
    TestAuthority::Issued Certificates::*server;
    bool verify;
    Trust trust;
    // Empty: the round trip works; otherwise the words of the refusal.
    const wchar_t* refusal;
};

const Case kCases[] = {
    {"TrustedServer", &Certificates::good, true, CA_FILE, L""},
    {"TrustedThroughTheSystemStore", &Certificates::good, true, SYSTEM_STORE, L""},
    {"UnknownIssuer", &Certificates::untrusted, true, CA_FILE,
     L"The server's certificate is not trusted: its issuer is unknown"},
    {"UnknownToTheSystemStore", &Certificates::untrusted, true, SYSTEM_STORE,
     L"The server's certificate is not trusted: its issuer is unknown"},
    {"OtherHost", &Certificates::otherHost, true, CA_FILE,
     L"The server's certificate is for another host, not 127.0.0.1: nothing was sent"},
    {"Expired", &Certificates::expired, true, CA_FILE,
     L"The server's certificate has expired: nothing was sent"},
    {"UnreadableTrustedCertificates", &Certificates::good, true, MISSING_CA_FILE,
     L"The trusted certificates could not be read: nothing was sent"},
    {"VerificationOff", &Certificates::untrusted, false, CA_FILE, L""},
};

TEST_F(Https, ServersAreVerifiedBeforeAnythingIsSent) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        Serve(&(Made().*c.server), "https");
        ASSERT_EQ(S_OK, connection->SetVerifyServer(c.verify));
        if (c.trust == MISSING_CA_FILE) {
            ASSERT_EQ(S_OK,
                      connection->SetTrustedCertificates(Wide(Made().folder.file("missing.pem")).c_str()));
        } else if (c.trust == SYSTEM_STORE) {
            ASSERT_EQ(S_OK, connection->SetTrustedCertificates(nullptr));
            setenv("SSL_CERT_DIR", Made().trusted.StoreFolder().c_str(), 1);
        }
        if (!*c.refusal) {
            EXPECT_EQ(S_OK, RoundTrip());
            EXPECT_EQ(2u, sim->RequestCount());
        } else {
            EXPECT_EQ(SOAP_SSL_ERROR, GetChildrenOfRoot());
            EXPECT_EQ(SOAP_SSL_ERROR, LastCode());
            EXPECT_EQ(ZU_TEXT_NO_WEB_SERVICE, LastError());
            std::wstring words = RuntimeWords();
            EXPECT_EQ(0u, words.find(c.refusal)) << KoNarrow(words.c_str());
            EXPECT_EQ(std::wstring::npos, words.find(L"secret"));
            EXPECT_EQ(0u, sim->RequestCount()) << "the server saw a request";
        }
        sim->Stop();
        sim.reset();
        unsetenv("SSL_CERT_DIR");
        ASSERT_EQ(S_OK, connection->SetTrustedCertificates(Wide(Made().trusted.CertificateFile()).c_str()));
    }
}

// https:// to a plain port and http:// to a TLS port: a transport failure
// within the time-outs; the TLS server serves no request.
TEST_F(Https, TheWrongSchemeFailsCleanlyEitherWay) {
    for (bool tlsServer : {false, true}) {
        SCOPED_TRACE(tlsServer ? "http:// to a TLS port" : "https:// to a plain port");
        Serve(tlsServer ? &Made().good : nullptr, tlsServer ? "http" : "https");
        HRESULT hr = GetChildrenOfRoot();
        EXPECT_TRUE(hr == SOAP_SSL_ERROR || hr == SOAP_EOF || hr == SOAP_TCP_ERROR) << hr;
        EXPECT_EQ(hr, LastCode());
        EXPECT_EQ(ZU_TEXT_NO_WEB_SERVICE, LastError());
        // A plain server may take the client's hello for a request of sorts.
        if (tlsServer) {
            EXPECT_EQ(0u, sim->RequestCount());
        }
        sim->Stop();
        sim.reset();
    }
}

// A server that never answers the client's hello: the handshake ends with
// the whole-call deadline although the idle time-out is longer.
TEST_F(Https, AHandshakeThatNeverEndsKeepsTheDeadline) {
    ASSERT_EQ(S_OK, connection->SetTimeouts(5000, 5000, 300));
    std::string url = server.url();
    ASSERT_EQ(S_OK, access->SetServiceURL(Wide("https" + url.substr(url.find(':'))).c_str()));
    server.enqueue(ScriptedServer::Reply::stall());
    auto start = std::chrono::steady_clock::now();
    HRESULT hr = GetChildrenOfRoot();
    auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 3.0);
    EXPECT_EQ(SOAP_TCP_ERROR, hr);
    EXPECT_EQ(ZU_TEXT_NO_WEB_SERVICE, LastError());
}

} // namespace
