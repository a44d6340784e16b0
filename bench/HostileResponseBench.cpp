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

#include <functional>
#include <memory>
#include <string>

#include "BenchRatio.h"
#include "CZuInterplayAccess.h"
#include "CZuResponseLimits.h"
#include "KoText.h"
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

// NamespaceDeclarations/<N> and Attributes/<N>.
void Register() {
    const struct {
        const char* kind;
        const char* attribute;
        int within;
    } kinds[] = {{"NamespaceDeclarations", "xmlns:n", static_cast<int>(CZuResponseLimits::kMaxNamespaces)},
                 {"Attributes", "a", static_cast<int>(CZuResponseLimits::kMaxAttributes)}};
    for (const auto& kind : kinds)
        for (int count : {10000, 100000, kind.within}) {
            std::string name = std::string(kind.kind) + "/" + std::to_string(count);
            std::string attribute = kind.attribute;
            benchmark::RegisterBenchmark(name.c_str(), [attribute, count](benchmark::State& state) {
                Read(state, Crowded(attribute, count));
            })->Unit(benchmark::kMillisecond);
        }
}

// 100,000 descriptions of about 248 bytes each.
std::string Descriptions() {
    std::string results = "<types:Results>";
    char uri[64];
    for (int i = 0; i < 100000; ++i) {
        snprintf(uri, sizeof uri, "interplay://Workgroup/Projects/Bench/clip%06d", i);
        results += std::string("<types:AssetDescription><types:InterplayURI>") + uri +
                   "</types:InterplayURI><types:Attributes><types:Attribute Group=\"USER\" Name=\"Title\">"
                   "News item of the day</types:Attribute></types:Attributes></types:AssetDescription>";
    }
    return Http(
        soap11("<types:GetChildrenResponse>" + results + "</types:Results></types:GetChildrenResponse>"));
}

long MaxRssKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The growth of the peak resident memory while work() runs, in a child
// process; -1 when it could not be measured or work() failed.
long PeakOf(const std::function<bool()>& prepare, const std::function<bool()>& work) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return -1;
    pid_t child = fork();
    if (child == 0) {
        close(pipeFds[0]);
        long grown = -1;
        if (prepare()) {
            long before = MaxRssKiB();
            if (work()) grown = MaxRssKiB() - before;
        }
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

// The peak of the binding reading the response in memory, and of the access
// object's GetChildren reading it from the scripted server and packing it.
void ReportListing() {
    const std::string response = Descriptions();
    const double mb = static_cast<double>(response.size() - response.find("\r\n\r\n") - 4) / 1e6;
    long binding = PeakOf([] { return true; }, [&] { return ReadGetChildrenResponse(response).code == 0; });
    std::unique_ptr<ScriptedServer> server;
    IZuInterplayAccess* access = nullptr;
    long slot = PeakOf(
        [&] {
            server = std::make_unique<ScriptedServer>();
            ScriptedServer::Reply reply;
            reply.bytes = response;
            server->setDefaultReply(reply);
            server->setRecording(false);
            HRESULT hr = S_OK;
            CKoUnknown* object = CreateAccessObject(nullptr, &hr);
            if (!object) return false;
            object->NonDelegatingQueryInterface(IID_IZuInterplayAccess, reinterpret_cast<void**>(&access));
            return access && access->SetServiceURL(KoWiden(server->url().c_str()).c_str()) == S_OK &&
                   access->SetCredentials(L"user", L"secret") == S_OK;
        },
        [&] {
            IZuInterplayAssetsDescriptionsList* list = nullptr;
            if (access->GetChildren(L"interplay://Workgroup/Projects/Bench", false, &list) != S_OK || !list)
                return false;
            int count = 0;
            list->GetCount(&count);
            return count == 100000;
        });
    for (const auto& peak : {std::make_pair("the binding reading it", binding),
                             std::make_pair("GetChildren, packed into result objects", slot)}) {
        if (peak.second < 0)
            printf("GetChildren of 100,000 descriptions (%.1f MB), %s: not measured\n", mb, peak.first);
        else
            printf(
                "GetChildren of 100,000 descriptions (%.1f MB), %s: peak memory grew %.1f MB, %.1fx the "
                "response\n",
                mb, peak.first, peak.second * 1024 / 1e6, peak.second * 1024 / 1e6 / mb);
    }
}

int main(int argc, char** argv) {
    Register();
    if (!benchsupport::InitializeBenchmarks(argc, argv)) return 1;
    benchsupport::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const char* kind : {"NamespaceDeclarations", "Attributes"}) {
        std::string name = kind;
        double small = reporter.Real(name + "/10000"), large = reporter.Real(name + "/100000");
        printf("%s: 100,000 vs 10,000 on one element: %.1fx (%.2f ms vs %.2f ms per response, refused)\n",
               kind, large / small, large, small);
    }
    ReportListing();
    return 0;
}
