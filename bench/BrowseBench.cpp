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
// And, for both operations alike:
//   Packing_Steps     the packing's own steps alone, as the slot takes them for
//                     the same 5,000 x 10 objects, through the same interfaces
//                     and from warm pools, but with the texts already wide:
//                     the four creation slots, SetGroup/SetName/SetValue,
//                     SetInterplayURI, SetAttributeList, each Add and the
//                     release of every local reference (no request, no parse,
//                     no code page conversion); the host's release of the list
//                     is not timed;
//   Packing_StepsAndRelease  the same with the host's release of the list.
// Their time over the bare client's is what the slot adds even if the
// binding parsed as fast as the bare client and converted for free: the
// lowest ratio the slot can reach.
// Each reports assets per second and the operator new calls of one call on
// the benchmark's thread. Prints the ratios slot / bare and slot / binding and
// the allocations the slot makes beyond its binding, per asset.
#include <benchmark/benchmark.h>

#include <stdio.h>
#include <stdlib.h>

#include <new>
#include <string>
#include <vector>

#include "AllocationCounter.h"
#include "AssetsBenchSupport.h"
#include "AssetsPortBinding.h"
#include "BareAssetsClient.h"
#include "CZuInterplayAccess.h"
#include "KoText.h"
#include "ScriptedServer.h"

namespace {

using benchsupport::kAssets;
using benchsupport::kAttributes;
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

// Times makeList as TimeListing does, counting the operator new calls of the
// timed calls.
template <class MakeList>
void TimeListingCounted(benchmark::State& state, IZuInterplayAccess* access, MakeList makeList,
                        bool timeRelease) {
    unsigned long allocations = 0;
    benchsupport::TimeListing(state, access, makeList, timeRelease, [&](const std::function<void()>& call) {
        allocations = CountAllocations(call);
    });
    state.counters["allocs/call"] = benchmark::Counter(static_cast<double>(allocations));
}

// The slot.
void Slot(benchmark::State& state, Operation operation, bool timeRelease) {
    IZuInterplayAccess* access = benchsupport::NewAccessObject();
    std::wstring url = KoWiden(Server(operation).url().c_str());
    access->SetServiceURL(url.c_str());
    access->SetCredentials(L"user", L"secret");
    access->SetSearchOptions(L"interplay://WG/Bench", ZU_SEARCH_AND, kAssets);
    auto slot = [&]() -> IZuInterplayAssetsDescriptionsList* {
        IZuInterplayAssetsDescriptionsList* list = nullptr;
        HRESULT result = operation == Operation::Search
                             ? access->Search(&list)
                             : access->GetChildren(L"interplay://WG/Bench", false, &list);
        return result == S_OK ? list : nullptr;
    };
    TimeListingCounted(state, access, slot, timeRelease);
}
void GetChildren_Slot(benchmark::State& state) { Slot(state, Operation::GetChildren, false); }
BENCHMARK(GetChildren_Slot)->Unit(benchmark::kMillisecond)->UseRealTime();
void GetChildren_SlotAndRelease(benchmark::State& state) { Slot(state, Operation::GetChildren, true); }
BENCHMARK(GetChildren_SlotAndRelease)->Unit(benchmark::kMillisecond)->UseRealTime();
void Search_Slot(benchmark::State& state) { Slot(state, Operation::Search, false); }
BENCHMARK(Search_Slot)->Unit(benchmark::kMillisecond)->UseRealTime();
void Search_SlotAndRelease(benchmark::State& state) { Slot(state, Operation::Search, true); }
BENCHMARK(Search_SlotAndRelease)->Unit(benchmark::kMillisecond)->UseRealTime();

// Wide texts shaped like the response's once widened: the values CJK, every
// other name CJK too.
struct WideListing {
    std::vector<std::wstring> uris, names, values;
    WideListing() {
        const wchar_t* kValues[] = {L"\u65b0\u95fb\u7d20\u6750", L"\u91c7\u8bbf\u7b2c\u4e8c\u5929",
                                    L"\u5317\u4eac\u6444\u50cf\u673a B"};
        for (int i = 0; i < kAssets; ++i) {
            uris.push_back(L"interplay://WG/Bench/\u7d20\u6750" + std::to_wstring(i));
            for (int a = 0; a < kAttributes; ++a)
                values.push_back(std::wstring(kValues[(i + a) % 3]) + L" " +
                                 std::to_wstring(i * kAttributes + a));
        }
        for (int a = 0; a < kAttributes; ++a)
            names.push_back((a % 2 ? L"Name" : L"\u5c5e\u6027") + std::to_wstring(a));
    }
};

// The packing steps of one listing, in the slot's order, through the access
// object's interface.
IZuInterplayAssetsDescriptionsList* PackSteps(IZuInterplayAccess* access, const WideListing& texts) {
    IZuInterplayAssetsDescriptionsList* list = nullptr;
    if (access->CreateAssetsDescriptionsList(&list) != S_OK) return nullptr;
    for (int i = 0; i < kAssets; ++i) {
        IZuInterplayMobAttributeList* attributes = nullptr;
        if (access->CreateMobAttributeList(&attributes) != S_OK) break;
        for (int a = 0; a < kAttributes; ++a) {
            IZuInterplayMobAttribute* attribute = nullptr;
            if (access->CreateMobAttribute(&attribute) != S_OK) break;
            attribute->SetGroup(L"USER");
            attribute->SetName(texts.names[size_t(a)].c_str());
            attribute->SetValue(texts.values[size_t(i * kAttributes + a)].c_str());
            attributes->Add(attribute);
            attribute->Release();
        }
        IZuInterplayAssetDescription* description = nullptr;
        if (access->CreateAssetDescription(&description) == S_OK) {
            description->SetInterplayURI(texts.uris[size_t(i)].c_str());
            description->SetAttributeList(attributes);
            list->Add(description);
            description->Release();
        }
        attributes->Release();
    }
    return list;
}

void PackingSteps(benchmark::State& state, bool timeRelease) {
    static const WideListing texts;
    IZuInterplayAccess* access = benchsupport::NewAccessObject();
    auto pack = [&] { return PackSteps(access, texts); };
    TimeListingCounted(state, access, pack, timeRelease);
}
void Packing_Steps(benchmark::State& state) { PackingSteps(state, false); }
BENCHMARK(Packing_Steps)->Unit(benchmark::kMillisecond)->UseRealTime();
void Packing_StepsAndRelease(benchmark::State& state) { PackingSteps(state, true); }
BENCHMARK(Packing_StepsAndRelease)->Unit(benchmark::kMillisecond)->UseRealTime();

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
    benchsupport::ChildrenRequest children;
    types__GetChildrenResponseType response;
    if (binding.__assets__GetChildren(&children.request, &response) != SOAP_OK || !response.Results) return 0;
    return response.Results->AssetDescription.size();
}

void Binding(benchmark::State& state, Operation operation) {
    std::string url = Server(operation).url();
    // Untimed, as the slot rows warm their pools: the heap the row before
    // gave back is taken again here, not in the first timed call.
    BindingCall(operation, url);
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
    auto call = [&](size_t* assets, size_t* textBytes) {
        return operation == Operation::Search
                   ? bare::Search(url, assets, textBytes, bare::DefaultMode())
                   : bare::GetChildren(url, assets, textBytes, bare::DefaultMode());
    };
    size_t warmAssets = 0, warmBytes = 0;
    call(&warmAssets, &warmBytes); // untimed, as above
    unsigned long allocations = 0;
    for (auto _ : state) {
        size_t assets = 0, textBytes = 0;
        int code = 0;
        allocations = CountAllocations([&] { code = call(&assets, &textBytes); });
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
        // The packing's own steps on top of the parse: the least the slot can
        // cost, with a parse as fast as the bare client's and with the
        // module's binding.
        double bare = reporter.Real(name + "_Bare");
        double binding = reporter.Real(name + "_Binding");
        if (bare <= 0 || binding <= 0) continue;
        printf("  the module's binding alone / bare client: %.3f\n", binding / bare);
        for (const auto& slot : slots) {
            double steps = reporter.Real(std::string("Packing_Steps") + (slot[0] + 5)); // "", "AndRelease"
            if (steps <= 0) continue;
            printf(
                "  the packing's steps alone, %s: %.1f ms, %.3f of the bare client's call; the slot's least: "
                "%.3f on a bare parse, %.3f on the binding (target <= %s)\n",
                slot[1], steps, steps / bare, 1 + steps / bare, (binding + steps) / bare, slot[2]);
        }
    }
}

} // namespace

int main(int argc, char** argv) { return benchsupport::Main(argc, argv, PrintSummary); }
