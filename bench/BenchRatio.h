// What the ratio benchmarks share: repeated runs interleaved at random, with
// the log filters closed, and a reporter that keeps each benchmark's median
// times, so that the component and its baseline are compared within one run.
#ifndef ZU_BENCH_RATIO_H
#define ZU_BENCH_RATIO_H

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace benchsupport {

// Keeps the real and CPU time per iteration of each benchmark (the median when
// repeated) and its user counters.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;
    double Real(const std::string& name) const { return Get(m_real, name); }
    double Cpu(const std::string& name) const { return Get(m_cpu, name); }
    // The counter of a benchmark; 0 when it has none.
    double Counter(const std::string& name, const std::string& counter) const;

private:
    static double Get(const std::map<std::string, double>& times, const std::string& name);
    std::map<std::string, double> m_real, m_cpu;
    std::map<std::string, std::map<std::string, double>> m_counters;
    std::map<std::string, bool> m_fromMedian;
};

// Closes the log filters and initializes Google Benchmark: unless the command
// line says otherwise, each benchmark runs five times, the runs of all of them
// interleaved at random, reporting the aggregates only. False when the command
// line has arguments it does not know.
bool InitializeBenchmarks(int argc, char** argv);

} // namespace benchsupport

#endif // ZU_BENCH_RATIO_H
