// What the benchmarks against the Assets service share: the canned responses,
// the scripted servers that answer with them, and a main that runs every
// benchmark repeatedly, interleaved at random, and prints ratios of medians.
#ifndef ZU_ASSETS_BENCH_SUPPORT_H
#define ZU_ASSETS_BENCH_SUPPORT_H

#include <functional>
#include <string>

#include "BenchRatio.h"

class ScriptedServer;

namespace benchsupport {

// The folder the GetChildren response lists (and the Search response finds):
// 5,000 descriptions of 10 attributes each.
constexpr int kAssets = 5000;
constexpr int kAttributes = 10;

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

// Runs the benchmarks with the log filters closed; unless told otherwise on
// the command line, each five times, the runs of all of them interleaved at
// random, reporting the aggregates only. Then calls report.
int Main(int argc, char** argv, const std::function<void(const RatioReporter&)>& report);

} // namespace benchsupport

#endif // ZU_ASSETS_BENCH_SUPPORT_H
