#include "AssetsBenchSupport.h"

#include <string.h>

#include "KoDebugCapture.h"
#include "ScriptedServer.h"
#include "ZuAssetsNamespaces.h"

namespace benchsupport {

std::string Envelope(const std::string& body) {
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\" "
                       "xmlns:types=\"") +
           ZuAssetsTypesNamespace() + "\"><SOAP-ENV:Body>" + body + "</SOAP-ENV:Body></SOAP-ENV:Envelope>";
}

std::string ChildrenResponse() {
    static const char* kValues[] = {"\xe6\x96\xb0\xe9\x97\xbb\xe7\xb4\xa0\xe6\x9d\x90",  // 新闻素材
                                    "\xe9\x87\x87\xe8\xae\xbf\xe7\xac\xac\xe4\xba\x8c\xe5\xa4\xa9",
                                    "\xe5\x8c\x97\xe4\xba\xac\xe6\x91\x84\xe5\x83\x8f\xe6\x9c\xba B"};
    std::string body = "<types:GetChildrenResponse><types:Results>";
    for (int i = 0; i < kAssets; ++i) {
        body += "<types:AssetDescription><types:InterplayURI>interplay://WG/Bench/";
        body += "\xe7\xb4\xa0\xe6\x9d\x90" + std::to_string(i);
        body += "</types:InterplayURI><types:Attributes>";
        for (int a = 0; a < kAttributes; ++a) {
            body += "<types:Attribute Group=\"USER\" Name=\"";
            body += a % 2 ? "Name" + std::to_string(a) : "\xe5\xb1\x9e\xe6\x80\xa7" + std::to_string(a);
            body += "\">";
            body += kValues[(i + a) % 3];
            body += " " + std::to_string(i * kAttributes + a) + "</types:Attribute>";
        }
        body += "</types:Attributes></types:AssetDescription>";
    }
    body += "</types:Results></types:GetChildrenResponse>";
    return Envelope(body);
}

ScriptedServer& ChildrenServer() {
    static ScriptedServer* server = [] {
        ScriptedServer* s = new ScriptedServer;
        s->setRecording(false);
        s->setDefaultReply(ScriptedServer::Reply::http(ChildrenResponse()));
        return s;
    }();
    return *server;
}

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

int Main(int argc, char** argv, const std::function<void(const RatioReporter&)>& report) {
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
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    report(reporter);
    benchmark::Shutdown();
    return 0;
}

} // namespace benchsupport
