// The module's SOAP layer against a bare gSOAP client, in one run, both
// talking to the scripted server on loopback:
//   - CheckInAAF carrying 64 MiB of file bytes (MB/s of file bytes);
//   - GetChildren answered with 5,000 asset descriptions of 10 attributes
//     each, CJK values (assets/s);
//   - GetLatest answered with a file of 64 MiB, once with a Content-Length
//     (decoded as it arrives into one buffer) and once without one (the
//     runtime's reader, which gathers blocks and copies them at the end).
// The module's side goes through AssetsPortBinding and the wire text
// conversion; the bare side through the plain variant of the same messages.
// Prints the ratios module / bare of each exchange at the end (real time and
// the client thread's CPU time), also against a bare client in the module's
// context mode (which leaves out the runtime's multi-reference bookkeeping):
// the cost of the conversion alone.
#include <benchmark/benchmark.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "AssetsBenchSupport.h"
#include "AssetsPortBinding.h"
#include "BareAssetsClient.h"
#include "ScriptedServer.h"

using namespace ZuAssets;

namespace {

const int kFileBytes = 64 << 20;
using benchsupport::kAssets;

ScriptedServer& checkInServer() {
    static ScriptedServer* server = [] {
        ScriptedServer* s = new ScriptedServer;
        s->setRecording(false);
        s->setDefaultReply(ScriptedServer::Reply::http(benchsupport::Envelope(
            "<types:CheckInAAFResponse><types:InterplayURI>interplay://WG/Bench/clip</types:InterplayURI>"
            "</types:CheckInAAFResponse>")));
        return s;
    }();
    return *server;
}

std::vector<unsigned char>& fileBytes() {
    static std::vector<unsigned char> file = [] {
        std::vector<unsigned char> bytes(kFileBytes);
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<unsigned char>(i * 2654435761u >> 13);
        return bytes;
    }();
    return file;
}

// Points a fresh binding at the scripted server, with credentials.
void Connect(AssetsPortBinding& binding, const std::string& url) {
    binding.endpoint = url.c_str();
    binding.SetCredentials("user", "secret");
}

void CheckInAAF_Module(benchmark::State& state) {
    std::string url = checkInServer().url();
    std::vector<unsigned char>& file = fileBytes();
    for (auto _ : state) {
        AssetsPortBinding binding;
        Connect(binding, url);
        types__CheckInAAFType request;
        request.InterplayURI = "interplay://WG/Bench/clip.aaf";
        request.AAF.__ptr = file.data();
        request.AAF.__size = kFileBytes;
        types__CheckInAAFResponseType response;
        if (binding.__assets__CheckInAAF(&request, &response) != SOAP_OK) {
            state.SkipWithError("CheckInAAF failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * int64_t(kFileBytes));
}
BENCHMARK(CheckInAAF_Module)->Unit(benchmark::kMillisecond)->UseRealTime();

void CheckInAAFBare(benchmark::State& state, int mode) {
    std::string url = checkInServer().url();
    std::vector<unsigned char>& file = fileBytes();
    for (auto _ : state) {
        if (bare::CheckInAAF(url, file.data(), kFileBytes, mode) != 0) {
            state.SkipWithError("CheckInAAF failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * int64_t(kFileBytes));
}
void CheckInAAF_Bare(benchmark::State& state) { CheckInAAFBare(state, bare::DefaultMode()); }
BENCHMARK(CheckInAAF_Bare)->Unit(benchmark::kMillisecond)->UseRealTime();
void CheckInAAF_BareSameMode(benchmark::State& state) { CheckInAAFBare(state, bare::ModuleMode()); }
BENCHMARK(CheckInAAF_BareSameMode)->Unit(benchmark::kMillisecond)->UseRealTime();

void GetChildren_Module(benchmark::State& state) {
    std::string url = benchsupport::ChildrenServer().url();
    for (auto _ : state) {
        AssetsPortBinding binding;
        Connect(binding, url);
        benchsupport::ChildrenRequest children;
        types__GetChildrenResponseType response;
        size_t assets = 0, textBytes = 0;
        if (binding.__assets__GetChildren(&children.request, &response) == SOAP_OK && response.Results) {
            for (const types__AssetDescriptionType* asset : response.Results->AssetDescription) {
                ++assets;
                textBytes += asset->InterplayURI.size();
                if (!asset->Attributes) continue;
                for (const types__AttributeType* attribute : asset->Attributes->Attribute)
                    textBytes += attribute->Group.size() + attribute->Name.size() + attribute->__item.size();
            }
        }
        if (assets != size_t(kAssets)) {
            state.SkipWithError("GetChildren failed");
            break;
        }
        benchmark::DoNotOptimize(textBytes);
    }
    state.SetItemsProcessed(state.iterations() * kAssets);
}
BENCHMARK(GetChildren_Module)->Unit(benchmark::kMillisecond)->UseRealTime();

void GetChildrenBare(benchmark::State& state, int mode) {
    std::string url = benchsupport::ChildrenServer().url();
    for (auto _ : state) {
        size_t assets = 0, textBytes = 0;
        if (bare::GetChildren(url, &assets, &textBytes, mode) != 0 || assets != size_t(kAssets)) {
            state.SkipWithError("GetChildren failed");
            break;
        }
        benchmark::DoNotOptimize(textBytes);
    }
    state.SetItemsProcessed(state.iterations() * kAssets);
}
void GetChildren_Bare(benchmark::State& state) { GetChildrenBare(state, bare::DefaultMode()); }
BENCHMARK(GetChildren_Bare)->Unit(benchmark::kMillisecond)->UseRealTime();
void GetChildren_BareSameMode(benchmark::State& state) { GetChildrenBare(state, bare::ModuleMode()); }
BENCHMARK(GetChildren_BareSameMode)->Unit(benchmark::kMillisecond)->UseRealTime();

// The GetLatest response carrying the file, with or without a Content-Length.
std::string LatestResponse(bool withLength) {
    std::vector<unsigned char>& file = fileBytes();
    struct soap* soap = soap_new();
    std::string body =
        benchsupport::Envelope("<types:GetLatestResponse><types:File>" +
                               std::string(soap_s2base64(soap, file.data(), nullptr, kFileBytes)) +
                               "</types:File></types:GetLatestResponse>");
    soap_free(soap);
    if (withLength) return ScriptedServer::Reply::http(body).bytes;
    return "HTTP/1.1 200 OK\r\nContent-Type: text/xml; charset=utf-8\r\nConnection: close\r\n\r\n" + body;
}

ScriptedServer& latestServer(bool withLength) {
    static ScriptedServer* servers[2] = {nullptr, nullptr};
    ScriptedServer*& server = servers[withLength];
    if (!server) {
        server = new ScriptedServer;
        server->setRecording(false);
        ScriptedServer::Reply reply;
        reply.bytes = LatestResponse(withLength);
        server->setDefaultReply(reply);
    }
    return *server;
}

void GetLatest(benchmark::State& state, bool withLength) {
    std::string url = latestServer(withLength).url();
    for (auto _ : state) {
        AssetsPortBinding binding;
        Connect(binding, url);
        types__GetLatestType request;
        request.InterplayURI = "interplay://WG/Bench/clip.aaf";
        types__GetLatestResponseType response;
        if (binding.__assets__GetLatest(&request, &response) != SOAP_OK || !response.File ||
            response.File->__size != kFileBytes) {
            state.SkipWithError("GetLatest failed");
            break;
        }
        benchmark::DoNotOptimize(response.File->__ptr[kFileBytes - 1]);
    }
    state.SetBytesProcessed(state.iterations() * int64_t(kFileBytes));
}
void GetLatest_Module(benchmark::State& state) { GetLatest(state, true); }
BENCHMARK(GetLatest_Module)->Unit(benchmark::kMillisecond)->UseRealTime();
void GetLatest_RuntimeReader(benchmark::State& state) { GetLatest(state, false); }
BENCHMARK(GetLatest_RuntimeReader)->Unit(benchmark::kMillisecond)->UseRealTime();

void PrintRatios(const benchsupport::RatioReporter& reporter, const char* exchange) {
    std::string module = std::string(exchange) + "_Module";
    const char* baselines[][2] = {{"_Bare", "bare"}, {"_BareSameMode", "bare in the module's mode"}};
    for (const auto& baseline : baselines) {
        std::string bare = exchange + std::string(baseline[0]);
        if (reporter.Real(module) > 0 && reporter.Real(bare) > 0)
            printf("%s module / %s: %.3f real time, %.3f CPU time (target <= 1.3)\n", exchange, baseline[1],
                   reporter.Real(module) / reporter.Real(bare), reporter.Cpu(module) / reporter.Cpu(bare));
    }
}

} // namespace

int main(int argc, char** argv) {
    return benchsupport::Main(argc, argv, [](const benchsupport::RatioReporter& reporter) {
        PrintRatios(reporter, "CheckInAAF");
        PrintRatios(reporter, "GetChildren");
        if (reporter.Real("GetLatest_Module") > 0 && reporter.Real("GetLatest_RuntimeReader") > 0)
            printf("GetLatest of 64 MiB: one buffer / runtime's reader: %.3f real time, %.3f CPU time\n",
                   reporter.Real("GetLatest_Module") / reporter.Real("GetLatest_RuntimeReader"),
                   reporter.Cpu("GetLatest_Module") / reporter.Cpu("GetLatest_RuntimeReader"));
    });
}
