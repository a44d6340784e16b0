// The access object's GetChildren against a bare gSOAP client, in one run,
// both reading the same response of 5,000 asset descriptions of 10 attributes
// each (CJK values) from the scripted server on loopback:
//   GetChildren_Slot     the whole slot call: request, response, packing into
//                        result objects from warm pools (the host's release of
//                        the list is not timed);
//   GetChildren_SlotAndRelease  the same with the host's release of the list,
//                        which sends every object back to its pool;
//   GetChildren_Binding  the module's binding alone reading the response
//                        (the slot's share that is gSOAP's and the wire text
//                        conversion's);
//   GetChildren_Bare     a bare gSOAP client that only parses the response
//                        (the limit).
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

// The slot from warm pools; the host's release of the list, which sends every
// object back to its pool, is timed or not.
void GetChildrenSlot(benchmark::State& state, bool timeRelease) {
    HRESULT hr = S_OK;
    CKoUnknown* object = CreateAccessObject(nullptr, &hr);
    IZuInterplayAccess* access = nullptr;
    object->NonDelegatingQueryInterface(IID_IZuInterplayAccess, reinterpret_cast<void**>(&access));
    std::wstring url = KoWiden(benchsupport::ChildrenServer().url().c_str());
    access->SetServiceURL(url.c_str());
    access->SetCredentials(L"user", L"secret");
    auto call = [&](bool inLoop) -> bool {
        IZuInterplayAssetsDescriptionsList* list = nullptr;
        if (access->GetChildren(L"interplay://WG/Bench", false, &list) != S_OK || !list) return false;
        int count = 0;
        list->GetCount(&count);
        if (inLoop && !timeRelease) state.PauseTiming();
        list->Release();
        if (inLoop && !timeRelease) state.ResumeTiming();
        return count == kAssets;
    };
    // Warms the pools: every object a call needs is there from now on.
    if (!call(false)) state.SkipWithError("GetChildren failed");
    unsigned long allocations = 0;
    for (auto _ : state) {
        bool ok = false;
        allocations = CountAllocations([&] { ok = call(true); });
        if (!ok) {
            state.SkipWithError("GetChildren failed");
            break;
        }
    }
    access->Release();
    Report(state, allocations);
}
void GetChildren_Slot(benchmark::State& state) { GetChildrenSlot(state, false); }
BENCHMARK(GetChildren_Slot)->Unit(benchmark::kMillisecond)->UseRealTime();
void GetChildren_SlotAndRelease(benchmark::State& state) { GetChildrenSlot(state, true); }
BENCHMARK(GetChildren_SlotAndRelease)->Unit(benchmark::kMillisecond)->UseRealTime();

void GetChildren_Binding(benchmark::State& state) {
    std::string url = benchsupport::ChildrenServer().url();
    unsigned long allocations = 0;
    for (auto _ : state) {
        size_t assets = 0;
        allocations = CountAllocations([&] {
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
            if (binding.__assets__GetChildren(&request, &response) == SOAP_OK && response.Results)
                assets = response.Results->AssetDescription.size();
        });
        if (assets != size_t(kAssets)) {
            state.SkipWithError("GetChildren failed");
            break;
        }
    }
    Report(state, allocations);
}
BENCHMARK(GetChildren_Binding)->Unit(benchmark::kMillisecond)->UseRealTime();

void GetChildren_Bare(benchmark::State& state) {
    std::string url = benchsupport::ChildrenServer().url();
    unsigned long allocations = 0;
    for (auto _ : state) {
        size_t assets = 0, textBytes = 0;
        int code = 0;
        allocations = CountAllocations(
            [&] { code = bare::GetChildren(url, &assets, &textBytes, bare::DefaultMode()); });
        if (code != 0 || assets != size_t(kAssets)) {
            state.SkipWithError("GetChildren failed");
            break;
        }
        benchmark::DoNotOptimize(textBytes);
    }
    Report(state, allocations);
}
BENCHMARK(GetChildren_Bare)->Unit(benchmark::kMillisecond)->UseRealTime();

void PrintSummary(const benchsupport::RatioReporter& reporter) {
    const char* slots[][2] = {{"GetChildren_Slot", "slot"},
                              {"GetChildren_SlotAndRelease", "slot and release"}};
    const char* baselines[][2] = {{"GetChildren_Bare", "bare client (the limit)"},
                                  {"GetChildren_Binding", "the module's binding alone"}};
    for (const auto& slot : slots) {
        double time = reporter.Real(slot[0]);
        if (time <= 0) continue;
        printf("GetChildren %s: %.0f assets/s\n", slot[1], kAssets / (time / 1e3));
        for (const auto& baseline : baselines) {
            double base = reporter.Real(baseline[0]);
            if (base > 0)
                printf("  / %s: %.3f real time, %.3f CPU time (target <= 1.5 against the limit)\n",
                       baseline[1], time / base, reporter.Cpu(slot[0]) / reporter.Cpu(baseline[0]));
        }
    }
    double slotAllocations = reporter.Counter("GetChildren_SlotAndRelease", "allocs/call");
    double bindingAllocations = reporter.Counter("GetChildren_Binding", "allocs/call");
    printf(
        "operator new per call: slot and release %.0f, binding %.0f, bare %.0f; the slot beyond its binding: "
        "%.0f (%.4f per asset)\n",
        slotAllocations, bindingAllocations, reporter.Counter("GetChildren_Bare", "allocs/call"),
        slotAllocations - bindingAllocations, (slotAllocations - bindingAllocations) / kAssets);
}

} // namespace

int main(int argc, char** argv) { return benchsupport::Main(argc, argv, PrintSummary); }
