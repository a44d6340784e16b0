// --verbose: for each call to the service, the request line and host, the
// HTTP status, the sizes of what was sent and received and the time the call
// took, on stderr. The credentials (a SOAP header) are shown masked.
#ifndef INTERPLAY_CLI_CALL_TRACE_H
#define INTERPLAY_CLI_CALL_TRACE_H

#include <stdio.h>

#include <chrono>
#include <string>

#include "InterplayClient.h"

class CallTrace {
public:
    CallTrace(IZuInterplayAccess* access, const std::string& url, const std::string& user, FILE* out)
        : m_access(access), m_url(url), m_user(user), m_out(out) {}

    void Before(const std::string& command);
    void After(const Result& result);

private:
    IZuInterplayAccess* m_access;
    std::string m_url;
    std::string m_user;
    FILE* m_out;
    std::chrono::steady_clock::time_point m_start;
};

#endif // INTERPLAY_CLI_CALL_TRACE_H
