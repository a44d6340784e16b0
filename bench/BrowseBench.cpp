// The access object's GetChildren and Search against a bare gSOAP client, in
// one run, all reading a response of the same 5,000 asset descriptions of 10
// attributes each (CJK values) from a scripted server on loopback. For each
// operation (GetChildren_..., Search_...):
//   _Slot             the whole slot call: request, response, packing into
//                     result objects from warm pools (the host's release of
//                     the list is not timed);
//   _SlotAndRelease   the same with the host's release of the list, which
//                     sends every object back to its pool;
//   _Binding          the module's binding alone reading the response (the
//                     slot's share that is gSOAP's and the wire text
//                     conversion's);
//   _Bare             a bare gSOAP client that only parses the response (the
//                     limit).
// Each reports assets per second and the operator new calls of one call on
// the benchmark's thread. Prints the ratios slot / bare and slot / binding and
// the allocations the slot makes beyond its binding, per asset.
#include <benchmark/benchmark.h>

#include <stdio.h>
#include <stdlib.h>

#include <new>
#include <string>

#include "AllocationCounter.h"
#include "AssetsBenchSupport.h"
#include "AssetsPortBinding.h"
#include "BareAssetsClient.h"
#include "CZuInterplayAccess.h"
#include "KoText.h"
#include "ScriptedServer.h"

namespace {

using benchsupport::kAssets;
using namespace ZuAssets;

void Report(benchmark::State& state, unsigned long allocations) {
    state.SetItemsProcessed(state.iterations() * kAssets);
    state.counters["allocs/call"] = benchmark::Counter(static_cast<double>(allocations));
}

// The two listing operations.
enum class Operation { GetChildren, Search };

ScriptedServer& Server(Operation operation) {
    return operation == Operation::Search ? benchsupport::SearchServer() : benchsupport::ChildrenServer();
}

// The slot from warm pools; the host's release of the list, which sends every
// object back to its pool, is timed or not.
void Slot(benchmark::State& state, Operation operation, bool timeRelease) {
    HRESULT hr = S_OK;
    CKoUnknown* object = CreateAccessObject(nullptr, &hr);
    IZuInterplayAccess* access = nullptr;
    object->NonDelegatingQueryInterface(IID_IZuInterplayAccess, reinterpret_cast<void**>(&access));
    std::wstring url = KoWiden(Server(operation).url().c_str());
    access->SetServiceURL(url.c_str());
    access->SetCredentials(L"user", L"secret");
    access->SetSearchOptions(L"interplay://WG/Bench", ZU_SEARCH_AND, kAssets);
    auto call = [&](bool inLoop) -> bool {
        IZuInterplayAssetsDescriptionsList* list = nullptr;
        HRESULT result = operation == Operation::Search
                             ? access->Search(&list)
                             : access->GetChildren(L"interplay://WG/Bench", false, &list);
        if (result != S_OK || !list) return false;
        int count = 0;
        list->GetCount(&count);
        if (inLoop && !timeRelease) state.PauseTiming();
        list->Release();
        if (inLoop && !timeRelease) state.ResumeTiming();
        return count == kAssets;
    };
    // Warms the pools: every object a call needs is there from now on.
    if (!call(false)) state.SkipWithError("the call failed");
    unsigned long allocations = 0;
    for (auto _ : state) {
        bool ok = false;
        allocations = CountAllocations([&] { ok = call(true); });
        if (!ok) {
            state.SkipWithError("the call failed");
            break;
        }
    }
    access->Release();
    Report(state, allocations);
}
void GetChildren_Slot(benchmark::State& state) { Slot(state, Operation::GetChildren, false); }
BENCHMARK(GetChildren_Slot)->Unit(benchmark::kMillisecond)->UseRealTime();
void GetChildren_SlotAndRelease(benchmark::State& state) { Slot(state, Operation::GetChildren, true); }
BENCHMARK(GetChildren_SlotAndRelease)->Unit(benchmark::kMillisecond)->UseRealTime();
void Search_Slot(benchmark::State& state) { Slot(state, Operation::Search, false); }
BENCHMARK(Search_Slot)->Unit(benchmark::kMillisecond)->UseRealTime();
void Search_SlotAndRelease(benchmark::State& state) { Slot(state, Operation::Search, true); }
BENCHMARK(Search_SlotAndRelease)->Unit(benchmark::kMillisecond)->UseRealTime();

// The module's binding: the request as the slot makes it, the response read.
size_t BindingCall(Operation operation, const std::string& url) {
    AssetsPortBinding binding;
    binding.endpoint = url.c_str();
    binding.SetCredentials("user", "secret");
    if (operation == Operation::Search) {
        types__SearchType request;
        request.InterplayPathURI = "interplay://WG/Bench";
        int maxResults = kAssets;
        request.MaxResults = &maxResults;
        types__SearchGroupType group;
        group.Operator = "AND";
        request.SearchGroup = &group;
        types__SearchResponseType response;
        if (binding.__assets__Search(&request, &response) != SOAP_OK || !response.Results) return 0;
        return response.Results->AssetDescription.size();
    }
    types__GetChildrenType request;
    request.InterplayURI = "interplay://WG/Bench";
    bool yes = true;
    request.IncludeFolders = &yes;
    request.IncludeFiles = &yes;
    request.IncludeMOBs = &yes;
    types__GetChildrenResponseType response;
    if (binding.__assets__GetChildren(&request, &response) != SOAP_OK || !response.Results) return 0;
    return response.Results->AssetDescription.size();
}

void Binding(benchmark::State& state, Operation operation) {
    std::string url = Server(operation).url();
    unsigned long allocations = 0;
    for (auto _ : state) {
        size_t assets = 0;
        allocations = CountAllocations([&] { assets = BindingCall(operation, url); });
        if (assets != size_t(kAssets)) {
            state.SkipWithError("the call failed");
            break;
        }
    }
    Report(state, allocations);
}
void GetChildren_Binding(benchmark::State& state) { Binding(state, Operation::GetChildren); }
BENCHMARK(GetChildren_Binding)->Unit(benchmark::kMillisecond)->UseRealTime();
void Search_Binding(benchmark::State& state) { Binding(state, Operation::Search); }
BENCHMARK(Search_Binding)->Unit(benchmark::kMillisecond)->UseRealTime();

void Bare(benchmark::State& state, Operation operation) {
    std::string url = Server(operation).url();
    unsigned long allocations = 0;
    for (auto _ : state) {
        size_t assets = 0, textBytes = 0;
        int code = 0;
        allocations = CountAllocations([&] {
            code = operation == Operation::Search
                       ? bare::Search(url, &assets, &textBytes, bare::DefaultMode())
                       : bare::GetChildren(url, &assets, &textBytes, bare::DefaultMode());
        });
        if (code != 0 || assets != size_t(kAssets)) {
            state.SkipWithError("the call failed");
            break;
        }
        benchmark::DoNotOptimize(textBytes);
    }
    Report(state, allocations);
}
void GetChildren_Bare(benchmark::State& state) { Bare(state, Operation::GetChildren); }
BENCHMARK(GetChildren_Bare)->Unit(benchmark::kMillisecond)->UseRealTime();
void Search_Bare(benchmark::State& state) { Bare(state, Operation::Search); }
BENCHMARK(Search_Bare)->Unit(benchmark::kMillisecond)->UseRealTime();

void PrintSummary(const benchsupport::RatioReporter& reporter) {
    const char* slots[][3] = {{"_Slot", "slot", "1.15"}, {"_SlotAndRelease", "slot and release", "1.25"}};
    const char* baselines[][2] = {{"_Bare", "bare client (the limit)"},
                                  {"_Binding", "the module's binding alone"}};
    for (const char* operation : {"GetChildren", "Search"}) {
        std::string name = operation;
        for (const auto& slot : slots) {
            double time = reporter.Real(name + slot[0]);
            if (time <= 0) continue;
            printf("%s %s: %.0f assets/s\n", operation, slot[1], kAssets / (time / 1e3));
            for (const auto& baseline : baselines) {
                double base = reporter.Real(name + baseline[0]);
                if (base <= 0) continue;
                printf("  / %s: %.3f real time, %.3f CPU time", baseline[1], time / base,
                       reporter.Cpu(name + slot[0]) / reporter.Cpu(name + baseline[0]));
                if (&baseline == &baselines[0]) printf(" (target <= %s)", slot[2]);
                printf("\n");
            }
        }
        double slotAllocations = reporter.Counter(name + "_SlotAndRelease", "allocs/call");
        double bindingAllocations = reporter.Counter(name + "_Binding", "allocs/call");
        printf(
            "%s operator new per call: slot and release %.0f, binding %.0f, bare %.0f; the slot beyond its "
            "binding: %.0f (%.4f per asset)\n",
            operation, slotAllocations, bindingAllocations, reporter.Counter(name + "_Bare", "allocs/call"),
            slotAllocations - bindingAllocations, (slotAllocations - bindingAllocations) / kAssets);
    }
}

} // namespace

int main(int argc, char** argv) { return benchsupport::Main(argc, argv, PrintSummary); }
