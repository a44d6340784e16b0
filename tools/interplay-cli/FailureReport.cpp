#include "FailureReport.h"

#include <ctype.h>
#include <algorithm>

namespace {

// The runtime's codes this host tells apart.
const int kRuntimeEof = -1;
const int kRuntimeTcpError = 28;
const int kRuntimeSslError = 30;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(tolower(c)); });
    return text;
}

bool Has(const std::string& text, std::initializer_list<const char*> phrases) {
    for (const char* phrase : phrases)
        if (text.find(phrase) != std::string::npos) return true;
    return false;
}

FailureReport Make(int exitCode, std::string words, std::string hint) {
    FailureReport report;
    report.exitCode = exitCode;
    report.kind = FailureReport::KindOf(exitCode);
    report.words = std::move(words);
    report.hint = std::move(hint);
    return report;
}

FailureReport OfHttpStatus(int status) {
    std::string words = "HTTP status " + std::to_string(status);
    if (status == 401 || status == 403)
        return Make(kExitRefused, words,
                    "check the user name and the password (--user, the password source)");
    if (status == 404)
        return Make(kExitRefused, words,
                    "check the path in --url: it names the Assets service, e.g. /services/Assets");
    if (status >= 500)
        return Make(kExitServer, words, "the server failed: try again later or see the server's log");
    return Make(kExitServer, words, "check that --url names the Assets service");
}

FailureReport OfTransport(const Result& result, int code, int status, const CallTiming& timing) {
    const nlohmann::ordered_json& t = result.transport;
    std::string words = Lower(t.value("runtime", "") + " " + t.value("fault string", ""));
    if (status >= 300 || (code >= 300 && code < 600)) return OfHttpStatus(status ? status : code);
    if (code == kRuntimeSslError || Has(words, {"ssl", "tls", "certificate"})) {
        if (Has(words, {"no tls support"}))
            return Make(kExitConnect, "TLS not available",
                        "this build has no TLS support: use an http:// URL");
        return Make(
            kExitConnect, "TLS verification failed",
            "check --ca-file (the CA that signed the server's certificate) and the host name in --url");
    }
    // The runtime has the same words for a peer that closed the connection
    // and one that let the time-out pass: the time the call took tells.
    if (code == kRuntimeEof) {
        if (timing.limitMs && timing.elapsedMs + 50 >= static_cast<double>(timing.limitMs))
            return Make(kExitConnect, "timed out",
                        "check that the server is up and reachable; a slow server needs a larger --timeout");
        return Make(kExitServer, "connection closed early",
                    "the server closed the connection before answering: check that --url names the Assets "
                    "service (http:// or https://) and see the server's log");
    }
    if (Has(words, {"timed out", "time-out", "timeout"}))
        return Make(kExitConnect, "timed out",
                    "check that the server is up and reachable; a slow server needs a larger --timeout");
    if (Has(words, {"refused"}))
        return Make(kExitConnect, "connection refused",
                    "check the host and port in --url and that the server is up");
    if (Has(words, {"host not found", "get host by name", "name or service not known", "unknown host",
                    "no such host", "nodename nor servname"}))
        return Make(kExitConnect, "host not found", "check the host name in --url");
    if (Has(words, {"end of file", "closed", "reset by peer"}))
        return Make(kExitServer, "connection closed early",
                    "the server closed the connection before answering: check that --url names the Assets "
                    "service (http:// or https://) and see the server's log");
    if (code == kRuntimeTcpError)
        return Make(kExitConnect, "could not connect", "check --url and that the server is up");
    if (t.contains("fault code") || t.contains("fault string"))
        return Make(kExitServer, "SOAP fault", "the server could not take the request: see its fault above");
    return Make(kExitOther, "transport error " + std::to_string(code),
                "run again with -vv to see the component's log");
}

} // namespace

const char* FailureReport::KindOf(int exitCode) {
    switch (exitCode) {
    case kExitOk:
        return "ok";
    case kExitUsage:
        return "usage error";
    case kExitConnect:
        return "could not connect";
    case kExitRefused:
        return "server refused";
    case kExitServer:
        return "server error";
    case kExitLocalFile:
        return "local file problem";
    default:
        return "other";
    }
}

FailureReport FailureReport::Of(const Result& result, const std::string& url, const CallTiming& timing) {
    FailureReport report;
    int code = result.transport.value("runtime code", 0);
    int status = result.transport.value("HTTP status", 0);
    if (code != 0) {
        report = OfTransport(result, code, status, timing);
    } else if (result.code == ZU_E_SERVERERROR) {
        // The server's error list, as the component reports it: its text.
        std::string text = Lower(result.error);
        if (Has(text, {"password", "credential", "user name", "not authori", "authenticat", "permission"}))
            report = Make(kExitRefused, "the server refused the credentials",
                          "check the user name and the password (--user, the password source)");
        else if (Has(text, {"does not exist", "nothing exists", "not found", "no such", "unknown uri",
                            "has the uri", "no folder", "no asset"}))
            report = Make(kExitRefused, "the server does not know the URI",
                          "check the interplay:// URI; `ls` on its folder shows what is there");
        else
            report = Make(kExitServer, "the server reported an error", "see the server's text above");
    } else {
        report = Make(kExitOther, "the component failed", "run again with -vv to see the component's log");
    }
    report.url = url;
    return report;
}

FailureReport FailureReport::Local(int exitCode, const std::string& words, const std::string& hint) {
    return Make(exitCode, words, hint);
}

void FailureReport::AttachTo(Result* result) const {
    result->exitCode = exitCode;
    result->diagnosis = {{"class", kind}, {"words", words}};
    if (!url.empty()) result->diagnosis["url"] = url;
    result->diagnosis["hint"] = hint;
}
