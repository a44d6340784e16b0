// The pooled cycle against plain allocation, in one run with the log filters
// closed: take an attribute through the access object's creation slot, set its
// three texts, release it; against the same work on an attribute made with new
// and destroyed with delete. Prints the ratio pooled / new-delete at the end.
#include <benchmark/benchmark.h>

#include <stdio.h>

#include <string>

#include "BenchRatio.h"
#include "CZuInterplayAccess.h"
#include "CZuInterplayMobAttribute.h"

namespace {

const wchar_t kValue[] = L"Interview, day 2, camera B";
const wchar_t kGroup[] = L"USER";
const wchar_t kName[] = L"Comments";

void SetTexts(IZuInterplayMobAttribute* attribute) {
    attribute->SetValue(kValue);
    attribute->SetGroup(kGroup);
    attribute->SetName(kName);
}

void NewDelete(benchmark::State& state) {
    for (auto _ : state) {
        CZuInterplayMobAttribute* object = new CZuInterplayMobAttribute(L"CZuInterplayMobAttribute");
        benchmark::DoNotOptimize(object);
        SetTexts(object);
        delete object;
    }
}
BENCHMARK(NewDelete);

void Pooled(benchmark::State& state) {
    HRESULT hr = S_OK;
    CKoUnknown* object = CreateAccessObject(nullptr, &hr);
    IZuInterplayAccess* access = nullptr;
    object->NonDelegatingAddRef();
    object->NonDelegatingQueryInterface(IID_IZuInterplayAccess, reinterpret_cast<void**>(&access));
    object->NonDelegatingRelease();
    for (auto _ : state) {
        IZuInterplayMobAttribute* attribute = nullptr;
        if (FAILED(access->CreateMobAttribute(&attribute))) {
            state.SkipWithError("no attribute from the pool");
            break;
        }
        SetTexts(attribute);
        attribute->Release();
    }
    access->Release();
}
BENCHMARK(Pooled);

} // namespace

int main(int argc, char** argv) {
    if (!benchsupport::InitializeBenchmarks(argc, argv)) return 1;
    benchsupport::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double pooled = reporter.Real("Pooled");
    double plain = reporter.Real("NewDelete");
    if (pooled > 0 && plain > 0)
        printf("pooled / new-delete ratio (medians of real time): %.3f (target <= 1.0)\n", pooled / plain);
    benchmark::Shutdown();
    return 0;
}
