// What the benchmarks against the Assets service share: the canned responses,
// the scripted servers that answer with them, and a main that runs every
// benchmark repeatedly, interleaved at random, and prints ratios of medians.
#ifndef ZU_ASSETS_BENCH_SUPPORT_H
#define ZU_ASSETS_BENCH_SUPPORT_H

#include <benchmark/benchmark.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

class ScriptedServer;

namespace benchsupport {

// The folder the GetChildren response lists: 5,000 descriptions of 10
// attributes each.
constexpr int kAssets = 5000;
constexpr int kAttributes = 10;

// A SOAP 1.1 envelope around body, with the service's types namespace.
std::string Envelope(const std::string& body);
// The GetChildren response: every value CJK (UTF-8), every other name CJK too.
std::string ChildrenResponse();
// A scripted server that answers every request with the GetChildren response
// (made once, never destroyed, requests not recorded).
ScriptedServer& ChildrenServer();

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

// Runs the benchmarks with the log filters closed; unless told otherwise on
// the command line, each five times, the runs of all of them interleaved at
// random, reporting the aggregates only. Then calls report.
int Main(int argc, char** argv, const std::function<void(const RatioReporter&)>& report);

} // namespace benchsupport

#endif // ZU_ASSETS_BENCH_SUPPORT_H
