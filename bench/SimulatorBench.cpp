// The simulator serving many clients at once against the simulator restricted
// to one thread (one connection at a time), in one run: requests per second of
// a small GetChildren (a folder of 10 folders) with 1, 8 and 64 clients, each
// a thread of its own making one call per connection, as the component does.
//   Pool_<n>        the simulator with its default pool of threads;
//   OneAtATime_<n>  the same with one thread.
// Prints the ratios pool / one at a time at the end.
#include <benchmark/benchmark.h>

#include <stdio.h>
#include <sys/socket.h>

#include <memory>
#include <string>

#include "AssetsSimSoapH.h"
#include "AssetsSimulator.h"
#include "BenchRatio.h"
#include "CZuAssetsEnvelope.h"
#include "KoPlatform.h"
#include "ZuAssetsNamespaces.h"

using namespace AssetsSimSoap;

namespace {

const int kClients[] = {1, 8, 64};
const int kFolders = 10;
const unsigned kUtf8CodePage = 65001;

// A simulator with the folder filled, serving until the program ends.
assets_sim::AssetsSimulator& Simulator(bool pool) {
    auto start = [](unsigned threads) {
        assets_sim::Options options;
        options.users = {{"editor", "secret"}};
        if (threads) options.threads = threads;
        auto* simulator = new assets_sim::AssetsSimulator(options);
        if (!simulator->Start()) abort();
        return simulator;
    };
    static assets_sim::AssetsSimulator* withPool = start(0);
    static assets_sim::AssetsSimulator* alone = start(1);
    return pool ? *withPool : *alone;
}

std::string Folder(assets_sim::AssetsSimulator& simulator) { return simulator.RootURI() + "/Projects/Bench"; }

// One client's context; a call is a connection of its own.
class Client {
public:
    explicit Client(const std::string& url) : m_url(url) {
        m_soap = soap_new1(SOAP_C_UTFSTRING);
        soap_set_namespaces(m_soap, ZuAssetsNamespaces());
        m_soap->socket_flags = MSG_NOSIGNAL;
    }
    ~Client() {
        soap_destroy(m_soap);
        soap_end(m_soap);
        soap_free(m_soap);
    }
    bool CreateFolder(const std::string& uri) {
        types__CreateFolderType request;
        types__CreateFolderResponseType response;
        request.InterplayURI = uri;
        CZuAssetsEnvelope::SetCredentials(m_soap, "editor", "secret");
        bool ok =
            soap_call___assets__CreateFolder(m_soap, m_url.c_str(), "", &request, &response) == SOAP_OK &&
            (!response.Errors || response.Errors->Error.empty());
        soap_destroy(m_soap);
        soap_end(m_soap);
        return ok;
    }
    // The folder's children, their count.
    size_t GetChildren(const std::string& uri) {
        types__GetChildrenType request;
        types__GetChildrenResponseType response;
        request.InterplayURI = uri;
        CZuAssetsEnvelope::SetCredentials(m_soap, "editor", "secret");
        size_t count = 0;
        if (soap_call___assets__GetChildren(m_soap, m_url.c_str(), "", &request, &response) == SOAP_OK &&
            response.Results)
            count = response.Results->AssetDescription.size();
        soap_destroy(m_soap);
        soap_end(m_soap);
        return count;
    }

private:
    std::string m_url;
    struct soap* m_soap;
};

void Fill(assets_sim::AssetsSimulator& simulator) {
    KoSetThreadCodePage(kUtf8CodePage);
    Client client(simulator.ServiceURL());
    client.CreateFolder(Folder(simulator));
    for (int i = 0; i < kFolders; ++i) client.CreateFolder(Folder(simulator) + "/" + std::to_string(i));
}

void GetChildren(benchmark::State& state, bool pool) {
    assets_sim::AssetsSimulator& simulator = Simulator(pool);
    KoSetThreadCodePage(kUtf8CodePage);
    Client client(simulator.ServiceURL());
    const std::string folder = Folder(simulator);
    for (auto _ : state) {
        if (client.GetChildren(folder) != kFolders) {
            state.SkipWithError("GetChildren failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
}

std::string Name(bool pool, int clients) {
    return (pool ? "Pool_" : "OneAtATime_") + std::to_string(clients);
}

} // namespace

int main(int argc, char** argv) {
    if (!benchsupport::InitializeBenchmarks(argc, argv)) return 1;
    Fill(Simulator(true));
    Fill(Simulator(false));
    for (int clients : kClients) {
        for (bool pool : {true, false}) {
            benchmark::RegisterBenchmark(Name(pool, clients).c_str(), GetChildren, pool)
                ->Threads(clients)
                ->UseRealTime();
        }
    }
    benchsupport::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printf("\nrequests per second of GetChildren (%d children), pool of %u threads / one thread:\n", kFolders,
           assets_sim::Options().threads);
    for (int clients : kClients) {
        double pool = reporter.Counter(Name(true, clients), "items_per_second");
        double alone = reporter.Counter(Name(false, clients), "items_per_second");
        printf("  %2d clients: %8.0f / %8.0f = %.2f\n", clients, pool, alone, alone > 0 ? pool / alone : 0.0);
    }
    benchmark::Shutdown();
    return 0;
}
