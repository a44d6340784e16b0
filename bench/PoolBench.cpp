// The pooled cycle against plain allocation, in one run with the log filters
// closed: take an attribute through the access object's creation slot, set its
// three texts, release it; against the same work on an attribute made with new
// and destroyed with delete. Prints the ratio pooled / new-delete at the end.
#include <benchmark/benchmark.h>

#include <stdio.h>

#include <map>
#include <string>

#include "CZuInterplayAccess.h"
#include "CZuInterplayMobAttribute.h"
#include "KoDebugCapture.h"

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

// Keeps the time per iteration of each benchmark (the median when repeated).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type == Run::RT_Aggregate && !median) continue;
            std::string name = run.run_name.function_name;
            if (median || !m_fromMedian[name]) m_nanoseconds[name] = run.GetAdjustedRealTime();
            m_fromMedian[name] = m_fromMedian[name] || median;
        }
    }
    double Get(const std::string& name) const {
        auto found = m_nanoseconds.find(name);
        return found == m_nanoseconds.end() ? 0.0 : found->second;
    }

private:
    std::map<std::string, double> m_nanoseconds;
    std::map<std::string, bool> m_fromMedian;
};

} // namespace

int main(int argc, char** argv) {
    kodebug::forceFilters(kodebug::Filter::Closed, kodebug::Filter::Closed);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double pooled = reporter.Get("Pooled");
    double plain = reporter.Get("NewDelete");
    if (pooled > 0 && plain > 0)
        printf("pooled / new-delete ratio: %.3f (target <= 1.0)\n", pooled / plain);
    benchmark::Shutdown();
    return 0;
}
