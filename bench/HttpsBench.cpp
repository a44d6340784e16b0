// GetChildren over HTTPS against the same over HTTP, in one run: the access
// object's slot (request, response of 5,000 asset descriptions of 10
// attributes each, packing; the host's release of the list not timed) against
// a server on loopback that answers every request with that response, through
// the runtime, plain or with TLS 1.2+ and a certificate made for the run
// (verified by the client against its CA, host name included). Each call is a
// connection of its own, so the HTTPS side pays a full handshake every time.
// Prints the ratio HTTPS / HTTP (target <= 1.2).
#include <benchmark/benchmark.h>

#include <stdio.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "AssetsBenchSupport.h"
#include "CZuInterplayAccess.h"
#include "CZuTls.h"
#include "IZuInterplayConnection.h"
#include "KoSocket.h"
#include "KoText.h"
#include "TempDir.h"
#include "TestCertificates.h"
#include "stdsoap2.h"

namespace {

using benchsupport::kAssets;

// Answers every request with the same body until destroyed.
class CannedServer {
public:
    CannedServer(std::string body, const TestAuthority::Issued* tls) : m_body(std::move(body)), m_tls(tls) {
        CZuTls::Initialise();
        m_soap = soap_new();
        m_soap->bind_flags = SO_REUSEADDR;
        m_soap->socket_flags = MSG_NOSIGNAL;
        m_soap->accept_timeout = -200000;
        if (tls && CZuTls::SetUpServer(m_soap, tls->certificateFile.c_str(), tls->keyFile.c_str()) != SOAP_OK)
            return;
        if (!soap_valid_socket(soap_bind(m_soap, "127.0.0.1", 0, 16))) return;
        struct sockaddr_in address;
        socklen_t length = sizeof address;
        getsockname(m_soap->master, reinterpret_cast<struct sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { Serve(); });
    }
    ~CannedServer() {
        m_stop = true;
        if (m_thread.joinable()) m_thread.join();
        soap_destroy(m_soap);
        soap_end(m_soap);
        soap_free(m_soap);
    }
    std::string Url() const {
        return std::string(m_tls ? "https" : "http") + "://127.0.0.1:" + std::to_string(m_port) +
               "/services/Assets";
    }
    bool Running() const { return m_port != 0; }

private:
    void Serve() {
        KoSigPipeGuard noSigPipe;
        while (!m_stop) {
            if (!soap_valid_socket(soap_accept(m_soap))) continue;
            if (!m_tls || CZuTls::Accept(m_soap) == SOAP_OK) {
                size_t length = 0;
                if (soap_begin_recv(m_soap) == SOAP_OK && soap_http_get_body(m_soap, &length) &&
                    soap_end_recv(m_soap) == SOAP_OK) {
                    m_soap->http_content = "text/xml; charset=utf-8";
                    if (soap_response(m_soap, SOAP_FILE) == SOAP_OK)
                        (void)(soap_send_raw(m_soap, m_body.data(), m_body.size()) || soap_end_send(m_soap));
                }
            }
            soap_closesock(m_soap);
            soap_destroy(m_soap);
            soap_end(m_soap);
        }
    }

    std::string m_body;
    const TestAuthority::Issued* m_tls;
    struct soap* m_soap = nullptr;
    uint16_t m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// The CA, the server's certificate and both servers, made once.
struct Servers {
    Servers()
        : authority(folder.path(), "bench-ca"),
          certificate(authority.Issue("bench-server", {"127.0.0.1"})),
          http(benchsupport::ChildrenResponse(), nullptr),
          https(benchsupport::ChildrenResponse(), &certificate) {}
    TempDir folder;
    TestAuthority authority;
    TestAuthority::Issued certificate;
    CannedServer http, https;
};

// Made on first use, gone (certificates and keys with them) at exit.
Servers& TheServers() {
    static Servers servers;
    return servers;
}

void GetChildren(benchmark::State& state, bool tls) {
    Servers& servers = TheServers();
    CannedServer& server = tls ? servers.https : servers.http;
    if (!server.Running()) {
        state.SkipWithError("the server did not start");
        return;
    }
    IZuInterplayAccess* access = benchsupport::NewAccessObject();
    IZuInterplayConnection* connection = nullptr;
    access->QueryInterface(IID_IZuInterplayConnection, reinterpret_cast<void**>(&connection));
    connection->SetTrustedCertificates(KoWiden(servers.authority.CertificateFile().c_str()).c_str());
    connection->Release();
    access->SetServiceURL(KoWiden(server.Url().c_str()).c_str());
    access->SetCredentials(L"user", L"secret");
    auto slot = [&]() -> IZuInterplayAssetsDescriptionsList* {
        IZuInterplayAssetsDescriptionsList* list = nullptr;
        return access->GetChildren(L"interplay://WG/Bench", false, &list) == S_OK ? list : nullptr;
    };
    benchsupport::TimeListing(state, access, slot, false, [](const std::function<void()>& call) { call(); });
}
void GetChildren_Http(benchmark::State& state) { GetChildren(state, false); }
BENCHMARK(GetChildren_Http)->Unit(benchmark::kMillisecond)->UseRealTime();
void GetChildren_Https(benchmark::State& state) { GetChildren(state, true); }
BENCHMARK(GetChildren_Https)->Unit(benchmark::kMillisecond)->UseRealTime();

void PrintSummary(const benchsupport::RatioReporter& reporter) {
    double http = reporter.Real("GetChildren_Http"), https = reporter.Real("GetChildren_Https");
    if (http <= 0 || https <= 0) return;
    printf("GetChildren of %d assets: HTTP %.1f ms, HTTPS %.1f ms a call\n", kAssets, http, https);
    printf("  HTTPS / HTTP: %.3f real time, %.3f CPU time (target <= 1.2)\n", https / http,
           reporter.Cpu("GetChildren_Https") / reporter.Cpu("GetChildren_Http"));
}

} // namespace

int main(int argc, char** argv) { return benchsupport::Main(argc, argv, PrintSummary); }
