// What hostile responses cost the module's binding, read in memory as the
// response of GetChildren:
//   NamespaceDeclarations/N  one element with N namespace declarations
//   Attributes/N             one element with N attributes
// for N = 10,000 and 100,000 (refused by the per-element limits), and the
// same element with as many of either as the limits let through (read). The
// parser's cost of these grows with the square of N, so the ratio of the
// times of 100,000 and 10,000 shows whether the cost is linear (about 10) or
// not (about 100).
//
// Then the peak memory of reading a GetChildren response of 100,000 asset
// descriptions (24.8 MB), measured in a child process, against the
// response's size.
#include <benchmark/benchmark.h>

#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "BenchRatio.h"
#include "CZuResponseLimits.h"
#include "ResponseReader.h"
#include "ScriptedServer.h"
#include "SoapTestSupport.h"

namespace {

std::string Http(const std::string& body) { return ScriptedServer::Reply::http(body).bytes; }

// A GetChildren response whose error message element carries count
// attributes named name0, name1, ...
std::string Crowded(const std::string& name, int count) {
    std::string tag = "<types:Message";
    for (int i = 0; i < count; ++i) tag += " " + name + std::to_string(i) + "=\"v\"";
    return Http(soap11("<types:GetChildrenResponse><types:Errors><types:Error>" + tag +
                       ">m</types:Message></types:Error></types:Errors></types:GetChildrenResponse>"));
}

void Read(benchmark::State& state, const std::string& response) {
    int code = 0;
    for (auto _ : state) code = ReadGetChildrenResponse(response).code;
    state.counters["code"] = code;
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(response.size()));
}

void NamespaceDeclarations(benchmark::State& state) {
    Read(state, Crowded("xmlns:n", static_cast<int>(state.range(0))));
}
void Attributes(benchmark::State& state) { Read(state, Crowded("a", static_cast<int>(state.range(0)))); }

BENCHMARK(NamespaceDeclarations)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(CZuResponseLimits::kMaxNamespaces)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(Attributes)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(CZuResponseLimits::kMaxAttributes)
    ->Unit(benchmark::kMillisecond);

// 100,000 descriptions of about 248 bytes each.
std::string Descriptions() {
    std::string results = "<types:Results>";
    char uri[64];
    for (int i = 0; i < 100000; ++i) {
        snprintf(uri, sizeof uri, "interplay://WG/Projects/Bench/clip%06d", i);
        results += std::string("<types:AssetDescription><types:InterplayURI>") + uri +
                   "</types:InterplayURI><types:Attributes><types:Attribute Group=\"USER\" Name=\"Title\">"
                   "News item</types:Attribute><types:Attribute Group=\"SYSTEM\" Name=\"Type\">masterclip"
                   "</types:Attribute></types:Attributes></types:AssetDescription>";
    }
    return Http(
        soap11("<types:GetChildrenResponse>" + results + "</types:Results></types:GetChildrenResponse>"));
}

long MaxRssKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The growth of the peak resident memory while the response is read, in a
// child process; -1 when it could not be measured.
long PeakOfReading(const std::string& response) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return -1;
    pid_t child = fork();
    if (child == 0) {
        close(pipeFds[0]);
        long before = MaxRssKiB();
        ResponseReading reading = ReadGetChildrenResponse(response);
        long grown = reading.code == 0 ? MaxRssKiB() - before : -1;
        ssize_t written = write(pipeFds[1], &grown, sizeof grown);
        _exit(written == sizeof grown ? 0 : 1);
    }
    close(pipeFds[1]);
    long grown = -1;
    if (child < 0 || read(pipeFds[0], &grown, sizeof grown) != sizeof grown) grown = -1;
    close(pipeFds[0]);
    if (child > 0) waitpid(child, nullptr, 0);
    return grown;
}

} // namespace

int main(int argc, char** argv) {
    if (!benchsupport::InitializeBenchmarks(argc, argv)) return 1;
    benchsupport::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const char* kind : {"NamespaceDeclarations", "Attributes"}) {
        std::string name = kind;
        double small = reporter.Real(name + "/10000"), large = reporter.Real(name + "/100000");
        printf("%s: 100,000 vs 10,000 on one element: %.1fx (%.2f ms vs %.2f ms per response, refused)\n",
               kind, large / small, large, small);
    }
    std::string response = Descriptions();
    long grown = PeakOfReading(response);
    double mb = static_cast<double>(response.size()) / 1e6;
    if (grown < 0)
        printf("GetChildren of 100,000 descriptions: not measured\n");
    else
        printf(
            "GetChildren of 100,000 descriptions (%.1f MB): peak memory grew %.1f MB, %.1fx the response\n",
            mb, grown * 1024 / 1e6, grown * 1024 / 1e6 / mb);
    return 0;
}
