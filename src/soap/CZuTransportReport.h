// What one exchange with the service met, for hosts and the diagnostics log:
// the runtime's code, the HTTP status of the answer, the SOAP fault the server
// answered with, and the runtime's own words for its code. Texts are wide.
#ifndef CZU_TRANSPORT_REPORT_H
#define CZU_TRANSPORT_REPORT_H

#include <string>

struct soap;

class CZuTransportReport {
public:
    // Back to "nothing met": code 0, status 0, empty texts, no operation.
    void Clear();
    // Takes what the context holds after the operation's call ended with
    // code (non-zero): the status when a status line was read, the fault's
    // code, string and detail when the server answered with a SOAP fault (the
    // detail's types:AssetsFaultType as "Code; Message; Details", other detail
    // content as its XML text), and the runtime's words for code.
    void Capture(struct soap* soap, int code, const char* operation);
    // Refused before anything was sent: code and words given.
    void Refuse(int code, const char* operation, const char* words);
    // After Capture, for a failure before anything was sent: the runtime
    // words become "<why>: nothing was sent (<the runtime's words>)"; why is
    // UTF-8.
    void NothingSent(const char* why);
    // Replaces every occurrence of secret (non-empty) in the texts.
    void Scrub(const std::wstring& secret);

    bool IsServerFault() const { return !faultCode.empty() || !faultString.empty(); }

    int code = 0;
    int httpStatus = 0;
    std::string operation; // the operation's name, e.g. "GetChildren"
    std::wstring faultCode;
    std::wstring faultString;
    std::wstring faultDetail;
    std::wstring runtimeWords;
    // What the exchange moved, headers included (the binding sets them).
    unsigned long long bytesSent = 0;
    unsigned long long bytesReceived = 0;
    // "<sent> bytes sent, <received> bytes received"
    std::wstring SizesText() const;
};

#endif // CZU_TRANSPORT_REPORT_H
