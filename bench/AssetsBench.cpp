// The module's SOAP layer against a bare gSOAP client, in one run, both
// talking to the scripted server on loopback:
//   - CheckInAAF carrying 64 MiB of file bytes (MB/s of file bytes);
//   - GetChildren answered with 5,000 asset descriptions of 10 attributes
//     each, CJK values (assets/s).
// The module's side goes through AssetsPortBinding and the wire text
// conversion; the bare side through the plain variant of the same messages.
// Prints the ratios module / bare of each exchange at the end (real time and
// the client thread's CPU time), also against a bare client in the module's
// context mode (which leaves out the runtime's multi-reference bookkeeping):
// the cost of the conversion alone.
#include <benchmark/benchmark.h>

#include <stdio.h>
#include <string.h>

#include <map>
#include <string>
#include <vector>

#include "AssetsPortBinding.h"
#include "BareAssetsClient.h"
#include "KoDebugCapture.h"
#include "ScriptedServer.h"
#include "ZuAssetsNamespaces.h"

using namespace ZuAssets;

namespace {

const int kFileBytes = 64 << 20;
const int kAssets = 5000;
const int kAttributes = 10;

std::string envelope(const std::string& body) {
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\" "
                       "xmlns:types=\"") +
           ZuAssetsTypesNamespace() + "\"><SOAP-ENV:Body>" + body + "</SOAP-ENV:Body></SOAP-ENV:Envelope>";
}

// 5,000 descriptions of 10 attributes; every value CJK (UTF-8), every other
// name CJK too.
std::string childrenResponse() {
    static const char* kValues[] = {"\xe6\x96\xb0\xe9\x97\xbb\xe7\xb4\xa0\xe6\x9d\x90",  // 新闻素材
                                    "\xe9\x87\x87\xe8\xae\xbf\xe7\xac\xac\xe4\xba\x8c\xe5\xa4\xa9",
                                    "\xe5\x8c\x97\xe4\xba\xac\xe6\x91\x84\xe5\x83\x8f\xe6\x9c\xba B"};
    std::string body = "<types:GetChildrenResponse><types:Results>";
    for (int i = 0; i < kAssets; ++i) {
        body += "<types:AssetDescription><types:InterplayURI>interplay://WG/Bench/";
        body += "\xe7\xb4\xa0\xe6\x9d\x90" + std::to_string(i);
        body += "</types:InterplayURI><types:Attributes>";
        for (int a = 0; a < kAttributes; ++a) {
            body += "<types:Attribute Group=\"USER\" Name=\"";
            body += a % 2 ? "Name" + std::to_string(a) : "\xe5\xb1\x9e\xe6\x80\xa7" + std::to_string(a);
            body += "\">";
            body += kValues[(i + a) % 3];
            body += " " + std::to_string(i * kAttributes + a) + "</types:Attribute>";
        }
        body += "</types:Attributes></types:AssetDescription>";
    }
    body += "</types:Results></types:GetChildrenResponse>";
    return envelope(body);
}

ScriptedServer& checkInServer() {
    static ScriptedServer* server = [] {
        ScriptedServer* s = new ScriptedServer;
        s->setRecording(false);
        s->setDefaultReply(ScriptedServer::Reply::http(envelope(
            "<types:CheckInAAFResponse><types:InterplayURI>interplay://WG/Bench/clip</types:InterplayURI>"
            "</types:CheckInAAFResponse>")));
        return s;
    }();
    return *server;
}

ScriptedServer& childrenServer() {
    static ScriptedServer* server = [] {
        ScriptedServer* s = new ScriptedServer;
        s->setRecording(false);
        s->setDefaultReply(ScriptedServer::Reply::http(childrenResponse()));
        return s;
    }();
    return *server;
}

std::vector<unsigned char>& fileBytes() {
    static std::vector<unsigned char> file = [] {
        std::vector<unsigned char> bytes(kFileBytes);
        for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<unsigned char>(i * 2654435761u >> 13);
        return bytes;
    }();
    return file;
}

void CheckInAAF_Module(benchmark::State& state) {
    std::string url = checkInServer().url();
    std::vector<unsigned char>& file = fileBytes();
    for (auto _ : state) {
        AssetsPortBinding binding;
        binding.endpoint = url.c_str();
        binding.SetCredentials("user", "secret");
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
    std::string url = childrenServer().url();
    for (auto _ : state) {
        AssetsPortBinding binding;
        binding.endpoint = url.c_str();
        binding.SetCredentials("user", "secret");
        types__GetChildrenType request;
        request.InterplayURI = "interplay://WG/Bench";
        bool yes = true;
        request.IncludeFolders = &yes;
        request.IncludeFiles = &yes;
        request.IncludeMOBs = &yes;
        types__GetChildrenResponseType response;
        size_t assets = 0, textBytes = 0;
        if (binding.__assets__GetChildren(&request, &response) == SOAP_OK && response.Results) {
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
    std::string url = childrenServer().url();
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

// Keeps the real and CPU time per iteration of each benchmark (the median when
// repeated).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type == Run::RT_Aggregate && !median) continue;
            std::string name = run.run_name.function_name;
            if (median || !m_fromMedian[name]) {
                m_real[name] = run.GetAdjustedRealTime();
                m_cpu[name] = run.GetAdjustedCPUTime();
            }
            m_fromMedian[name] = m_fromMedian[name] || median;
        }
    }
    double Real(const std::string& name) const { return Get(m_real, name); }
    double Cpu(const std::string& name) const { return Get(m_cpu, name); }

private:
    static double Get(const std::map<std::string, double>& times, const std::string& name) {
        auto found = times.find(name);
        return found == times.end() ? 0.0 : found->second;
    }
    std::map<std::string, double> m_real, m_cpu;
    std::map<std::string, bool> m_fromMedian;
};

void PrintRatios(const RatioReporter& reporter, const char* exchange) {
    std::string module = std::string(exchange) + "_Module";
    const char* baselines[][2] = {{"_Bare", "bare"}, {"_BareSameMode", "bare in the module's mode"}};
    for (const auto& baseline : baselines) {
        std::string bare = exchange + std::string(baseline[0]);
        if (reporter.Real(module) > 0 && reporter.Real(bare) > 0)
            printf("%s module / %s: %.3f real time, %.3f CPU time (target <= 1.3)\n", exchange,
                   baseline[1], reporter.Real(module) / reporter.Real(bare),
                   reporter.Cpu(module) / reporter.Cpu(bare));
    }
}

} // namespace

int main(int argc, char** argv) {
    kodebug::forceFilters(kodebug::Filter::Closed, kodebug::Filter::Closed);
    // By default each benchmark runs five times, the runs of all of them
    // interleaved at random, and the medians are compared: the machine's load
    // then weighs on module and baseline alike.
    std::vector<char*> args(argv, argv + argc);
    bool repetitionsGiven = false;
    for (int i = 1; i < argc; ++i)
        repetitionsGiven = repetitionsGiven || strncmp(argv[i], "--benchmark_repetitions", 23) == 0;
    static char repetitions[] = "--benchmark_repetitions=5";
    static char interleave[] = "--benchmark_enable_random_interleaving=true";
    static char aggregates[] = "--benchmark_report_aggregates_only=true";
    if (!repetitionsGiven) args.insert(args.end(), {repetitions, interleave, aggregates});
    int count = static_cast<int>(args.size());
    args.push_back(nullptr);
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatios(reporter, "CheckInAAF");
    PrintRatios(reporter, "GetChildren");
    benchmark::Shutdown();
    return 0;
}
