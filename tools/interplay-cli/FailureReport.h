// What the host adds to a failure after the component's own text: what went
// wrong in words, its class with the program's exit code, the URL used and one
// hint.
//
// Exit codes: 0 success, 1 any other failure, 2 usage error, 3 could not
// connect (refused, host not found, time-out, TLS verification), 4 the server
// refused (credentials, unknown URI), 5 other server error, 6 local file
// problem.
#ifndef INTERPLAY_CLI_FAILURE_REPORT_H
#define INTERPLAY_CLI_FAILURE_REPORT_H

#include <string>

#include "InterplayClient.h"

enum ExitCode : int {
    kExitOk = 0,
    kExitOther = 1,
    kExitUsage = 2,
    kExitConnect = 3,
    kExitRefused = 4,
    kExitServer = 5,
    kExitLocalFile = 6,
};

// How long the failed call took, and the time-out that would have ended it
// (the smaller of the idle and whole-call time-outs; 0: none).
struct CallTiming {
    double elapsedMs = 0;
    unsigned long limitMs = 0;
};

struct FailureReport {
    int exitCode = kExitOther;
    std::string kind;  // "could not connect", "server refused", ...
    std::string words; // "connection refused", "HTTP status 404", ...
    std::string url;
    std::string hint;

    // Reads the component's result and transport details of a failed call.
    static FailureReport Of(const Result& result, const std::string& url, const CallTiming& timing);
    // A failure of the host itself, before any call.
    static FailureReport Local(int exitCode, const std::string& words, const std::string& hint);
    static const char* KindOf(int exitCode);

    // Adds the fields to the result (Result::diagnosis), for the printer.
    void AttachTo(Result* result) const;
};

#endif // INTERPLAY_CLI_FAILURE_REPORT_H
