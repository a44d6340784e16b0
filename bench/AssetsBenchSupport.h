// What the benchmarks against the Assets service share: the canned responses,
// the scripted servers that answer with them, and a main that runs every
// benchmark repeatedly, interleaved at random, and prints ratios of medians.
#ifndef ZU_ASSETS_BENCH_SUPPORT_H
#define ZU_ASSETS_BENCH_SUPPORT_H

#include <functional>
#include <string>

#include "AssetsPortBinding.h"
#include "BenchRatio.h"
#include "IZuInterplayAccess.h"

class ScriptedServer;

namespace benchsupport {

// The folder the GetChildren response lists (and the Search response finds):
// 5,000 descriptions of 10 attributes each.
constexpr int kAssets = 5000;
constexpr int kAttributes = 10;

// The GetChildren request of the module's binding for the bench folder, as the
// slot makes it: folders, files and MOBs all asked for.
struct ChildrenRequest {
    ZuAssets::types__GetChildrenType request;
    ChildrenRequest();
    ChildrenRequest(const ChildrenRequest&) = delete;
    ChildrenRequest& operator=(const ChildrenRequest&) = delete;

private:
    bool m_yes = true; // what the request's three flags point at
};

// A SOAP 1.1 envelope around body, with the service's types namespace.
std::string Envelope(const std::string& body);
// The GetChildren response: every value CJK (UTF-8), every other name CJK too.
std::string ChildrenResponse();
// The Search response: the same descriptions.
std::string SearchResponse();
// Scripted servers that answer every request with the GetChildren response or
// with the Search response (each made once, never destroyed, requests not
// recorded).
ScriptedServer& ChildrenServer();
ScriptedServer& SearchServer();

// A new access object, through its interface (one reference).
IZuInterplayAccess* NewAccessObject();

// Times makeList (which gives a list or null) from warm pools: a first list,
// untimed, fills the pools with every object a call needs. The host's release
// of each list, which sends every object back to its pool, is timed or not.
// Each timed call runs as around(call), so that a row can count what it does.
// Releases access at the end; reports kAssets items per iteration.
template <class MakeList, class Around>
void TimeListing(benchmark::State& state, IZuInterplayAccess* access, MakeList makeList, bool timeRelease,
                 Around around) {
    auto call = [&](bool inLoop) -> bool {
        IZuInterplayAssetsDescriptionsList* list = makeList();
        if (!list) return false;
        int count = 0;
        list->GetCount(&count);
        if (inLoop && !timeRelease) state.PauseTiming();
        list->Release();
        if (inLoop && !timeRelease) state.ResumeTiming();
        return count == kAssets;
    };
    if (!call(false)) state.SkipWithError("no list");
    for (auto _ : state) {
        bool ok = false;
        around([&] { ok = call(true); });
        if (!ok) {
            state.SkipWithError("no list");
            break;
        }
    }
    access->Release();
    state.SetItemsProcessed(state.iterations() * kAssets);
}

// Runs the benchmarks with the log filters closed; unless told otherwise on
// the command line, each five times, the runs of all of them interleaved at
// random, reporting the aggregates only. Then calls report.
int Main(int argc, char** argv, const std::function<void(const RatioReporter&)>& report);

} // namespace benchsupport

#endif // ZU_ASSETS_BENCH_SUPPORT_H
