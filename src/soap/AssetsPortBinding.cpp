#include "AssetsPortBinding.h"

#include <limits.h>
#include <time.h>

#include <chrono>
#include <string.h>
#include <sys/socket.h>

#include "CZuAssetsEnvelope.h"
#include "ZuAssetsNamespaces.h"

AssetsPortBinding::AssetsPortBinding() : soap(soap_new1(CONTEXT_MODE)), endpoint(nullptr) {
    if (!soap) return;
    soap_set_namespaces(soap, ZuAssetsNamespaces());
    soap->socket_flags = MSG_NOSIGNAL;
    soap->user = this;
    m_send = soap->fsend;
    m_recv = soap->frecv;
    soap->fsend = &AssetsPortBinding::TimedSend;
    soap->frecv = &AssetsPortBinding::TimedRecv;
}

namespace {

// Whether a wait of the runtime (seconds when positive, microseconds when
// negative) has passed since start.
bool WaitPassed(std::chrono::steady_clock::time_point start, int timeout) {
    if (timeout == 0) return false;
    auto waited = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    long long limit = timeout > 0 ? timeout * 1000000LL : -static_cast<long long>(timeout);
    // The runtime's poll counts whole milliseconds.
    return waited.count() + 1000 >= limit;
}

} // namespace

bool AssetsPortBinding::DeadlinePassed() const {
    return soap->transfer_timeout > 0 &&
           difftime(time(nullptr), static_cast<time_t>(soap->start)) > soap->transfer_timeout;
}

int AssetsPortBinding::TimedSend(struct soap* soap, const char* data, size_t size) {
    AssetsPortBinding* self = static_cast<AssetsPortBinding*>(soap->user);
    auto start = std::chrono::steady_clock::now();
    int result = self->m_send(soap, data, size);
    if (result != SOAP_OK && soap->errnum == 0 && (WaitPassed(start, soap->send_timeout) || self->DeadlinePassed()))
        self->m_timedOut = true;
    return result;
}

size_t AssetsPortBinding::TimedRecv(struct soap* soap, char* data, size_t size) {
    AssetsPortBinding* self = static_cast<AssetsPortBinding*>(soap->user);
    auto start = std::chrono::steady_clock::now();
    size_t result = self->m_recv(soap, data, size);
    if (result == 0 && soap->errnum == 0 && (WaitPassed(start, soap->recv_timeout) || self->DeadlinePassed()))
        self->m_timedOut = true;
    return result;
}

AssetsPortBinding::~AssetsPortBinding() {
    if (!soap) return;
    soap_destroy(soap);
    soap_end(soap);
    soap_free(soap);
}

int AssetsPortBinding::SetCredentials(const std::string& userName, const std::string& password) {
    if (!soap) return SOAP_EOM;
    return CZuAssetsEnvelope::SetCredentials(soap, userName, password);
}

namespace {

// The runtime's last words when it refuses an https:// endpoint.
const char kNoTlsWords[] = "This build has no TLS support: https:// service URLs are refused";

// A time-out in milliseconds as the runtime takes it: seconds when positive,
// microseconds when negative, 0 for none.
int RuntimeTimeout(unsigned long ms) {
    if (ms == 0) return 0;
    if (ms % 1000 == 0 && ms / 1000 <= static_cast<unsigned long>(INT_MAX)) return static_cast<int>(ms / 1000);
    if (ms <= static_cast<unsigned long>(INT_MAX / 1000)) return -static_cast<int>(ms * 1000);
    unsigned long seconds = ms / 1000 + 1;
    return seconds > static_cast<unsigned long>(INT_MAX) ? INT_MAX : static_cast<int>(seconds);
}

// The runtime's transfer time-out counts whole seconds (its microsecond form
// is never reached): a deadline is rounded up to the next second.
int RuntimeDeadline(unsigned long ms) {
    if (ms == 0) return 0;
    unsigned long seconds = ms / 1000 + (ms % 1000 ? 1 : 0);
    return seconds > static_cast<unsigned long>(INT_MAX) ? INT_MAX : static_cast<int>(seconds);
}

// The runtime's code for the fault the context read. The runtime maps the
// standard fault codes only when the response binds them to the prefix
// SOAP-ENV itself; by then it has read every fault code into that prefix, so
// the mapping is made here again for any prefix the server chose.
int FaultResult(struct soap* soap) {
    const char** code = soap_faultcode(soap);
    if (!code || !*code) return SOAP_FAULT;
    const char* name = *code;
    if (strncmp(name, "SOAP-ENV:", 9) != 0) return SOAP_FAULT;
    name += 9;
    if (!strcmp(name, "Client") || !strcmp(name, "Sender")) return SOAP_CLI_FAULT;
    if (!strcmp(name, "Server") || !strcmp(name, "Receiver")) return SOAP_SVR_FAULT;
    if (!strcmp(name, "MustUnderstand")) return SOAP_MUSTUNDERSTAND;
    if (!strcmp(name, "VersionMismatch")) return SOAP_VERSIONMISMATCH;
    return SOAP_FAULT;
}

} // namespace

void AssetsPortBinding::SetTimeouts(unsigned long connectMs, unsigned long idleMs,
                                    unsigned long callMs) {
    if (!soap) return;
    soap->connect_timeout = RuntimeTimeout(connectMs);
    soap->send_timeout = RuntimeTimeout(idleMs);
    soap->recv_timeout = RuntimeTimeout(idleMs);
    soap->transfer_timeout = RuntimeDeadline(callMs);
}

bool AssetsPortBinding::SupportsTls() {
#ifdef WITH_OPENSSL
    return true;
#else
    return false;
#endif
}

bool AssetsPortBinding::IsHttps(const char* url) {
    if (!url) return false;
    for (const char* scheme = "https:"; *scheme; ++scheme, ++url) {
        char c = *url >= 'A' && *url <= 'Z' ? static_cast<char>(*url - 'A' + 'a') : *url;
        if (c != *scheme) return false;
    }
    return true;
}

template <class Request, class Response>
int AssetsPortBinding::Call(const char* operation,
                            int (*call)(struct soap*, const char*, const char*, Request*, Response*),
                            Request* request, Response* response) {
    m_report.Clear();
    if (!soap) {
        m_report.Refuse(SOAP_EOM, operation, "Out of memory");
        return SOAP_EOM;
    }
    if (endpoint && !*endpoint) {
        m_report.Refuse(SOAP_TCP_ERROR, operation, "The service URL is empty");
        return soap_set_sender_error(soap, "Empty endpoint", "The service URL is empty",
                                     SOAP_TCP_ERROR);
    }
    if (!SupportsTls() && IsHttps(endpoint)) {
        m_report.Refuse(SOAP_SSL_ERROR, operation, kNoTlsWords);
        return soap_set_sender_error(soap, "No TLS support", kNoTlsWords, SOAP_SSL_ERROR);
    }
    m_timedOut = false;
    int code = call(soap, endpoint, "", request, response);
    if (code == SOAP_FAULT) code = soap->error = FaultResult(soap);
    if (code != SOAP_OK && m_timedOut) {
        // The runtime's words for the time-out, not those of what it made of it.
        code = soap->error = SOAP_EOF;
        if (soap->fault) {
            *soap_faultstring(soap) = nullptr;
            *soap_faultdetail(soap) = nullptr;
        }
    }
    if (code != SOAP_OK) {
        m_report.Capture(soap, code, operation);
    } else {
        m_report.operation = operation;
        if (soap->status >= 100 && soap->status <= 599) m_report.httpStatus = soap->status;
    }
    return code;
}

// One forwarder per operation of the table.
#define ZU_ASSETS_DEFINE_OPERATION(Operation, Request, Response)                  \
    int AssetsPortBinding::__assets__##Operation(ZuAssets::types__##Request* request, \
                                                 ZuAssets::types__##Response* response) { \
        return Call(#Operation, ZuAssets::soap_call___assets__##Operation, request, response); \
    }
ZU_ASSETS_OPERATIONS(ZU_ASSETS_DEFINE_OPERATION)
#undef ZU_ASSETS_DEFINE_OPERATION
