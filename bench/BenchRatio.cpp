#include "BenchRatio.h"

#include <string.h>

#include "KoDebugCapture.h"

namespace benchsupport {

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        if (run.error_occurred) continue;
        bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        if (run.run_type == Run::RT_Aggregate && !median) continue;
        std::string name = run.run_name.function_name;
        if (median || !m_fromMedian[name]) {
            m_real[name] = run.GetAdjustedRealTime();
            m_cpu[name] = run.GetAdjustedCPUTime();
            for (const auto& counter : run.counters) m_counters[name][counter.first] = counter.second;
        }
        m_fromMedian[name] = m_fromMedian[name] || median;
    }
}

double RatioReporter::Counter(const std::string& name, const std::string& counter) const {
    auto found = m_counters.find(name);
    if (found == m_counters.end()) return 0.0;
    auto value = found->second.find(counter);
    return value == found->second.end() ? 0.0 : value->second;
}

double RatioReporter::Get(const std::map<std::string, double>& times, const std::string& name) {
    auto found = times.find(name);
    return found == times.end() ? 0.0 : found->second;
}

bool InitializeBenchmarks(int argc, char** argv) {
    kodebug::forceFilters(kodebug::Filter::Closed, kodebug::Filter::Closed);
    // The machine's load then weighs on module and baseline alike.
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
    return !benchmark::ReportUnrecognizedArguments(count, args.data());
}

} // namespace benchsupport
