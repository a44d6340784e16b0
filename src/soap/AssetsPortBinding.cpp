#include "AssetsPortBinding.h"

#include <limits.h>
#include <string.h>

#include <string>

#include "CZuAssetsEnvelope.h"
#include "CZuTls.h"
#include "KoSocket.h"
#include "ZuAssetsConfig.h"
#include "ZuAssetsNamespaces.h"

namespace {

// Before the runtime's first context.
struct soap* NewContext(int mode) {
    CZuTls::Initialise();
    return soap_new1(mode);
}

} // namespace

AssetsPortBinding::AssetsPortBinding()
    : soap(NewContext(CONTEXT_MODE)), endpoint(nullptr), ownConnect(!KoFailedConnectIsWritable()) {
    if (!soap) return;
    soap_set_namespaces(soap, ZuAssetsNamespaces());
    soap->socket_flags = MSG_NOSIGNAL;
    soap->user = this;
    m_send = soap->fsend;
    m_recv = soap->frecv;
    soap->fsend = &AssetsPortBinding::TimedSend;
    soap->frecv = &AssetsPortBinding::TimedRecv;
    m_open = soap->fopen;
    soap->fopen = &AssetsPortBinding::TimedOpen;
    CZuResponseLimits::Apply(soap);
}

namespace {

using Clock = std::chrono::steady_clock;

// A time-out in milliseconds as the runtime takes it: seconds when positive,
// microseconds when negative, 0 for none.
int RuntimeTimeout(unsigned long ms) {
    if (ms == 0) return 0;
    if (ms % 1000 == 0 && ms / 1000 <= static_cast<unsigned long>(INT_MAX))
        return static_cast<int>(ms / 1000);
    if (ms <= static_cast<unsigned long>(INT_MAX / 1000)) return -static_cast<int>(ms * 1000);
    unsigned long seconds = ms / 1000 + 1;
    return seconds > static_cast<unsigned long>(INT_MAX) ? INT_MAX : static_cast<int>(seconds);
}

// The smaller of two time-outs in milliseconds, 0 being none.
unsigned long Smaller(unsigned long a, unsigned long b) {
    if (a == 0) return b;
    if (b == 0) return a;
    return a < b ? a : b;
}

// Whether a wait of the runtime (in its units) has passed since start.
bool WaitPassed(Clock::time_point start, int timeout) {
    if (timeout == 0) return false;
    auto waited = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
    long long limit = timeout > 0 ? timeout * 1000000LL : -static_cast<long long>(timeout);
    // The runtime's poll counts whole milliseconds.
    return waited.count() + 1000 >= limit;
}

// The runtime's words and code for a failure of its TCP layer with the
// socket error error, as its own connect routine leaves them.
SOAP_SOCKET ConnectFailed(struct soap* soap, int error, const char* detail) {
    soap->errnum = error;
    soap->errmode = 0;
    soap->error = SOAP_TCP_ERROR;
    const char** string = soap_faultstring(soap);
    if (string) *string = nullptr;
    soap_set_fault(soap); // the text of errnum
    soap_set_receiver_error(soap, string ? *string : nullptr, detail, SOAP_TCP_ERROR);
    return soap->socket = SOAP_INVALID_SOCKET;
}

// Sets the options the runtime's own connect routine sets on a new socket;
// false with the runtime's error if one is refused.
bool SetSocketOptions(struct soap* soap, SOAP_SOCKET socket) {
    int set = 1;
    const struct {
        bool wanted;
        int level, name;
        const int* value;
        const char* detail;
    } options[] = {
        {soap->keep_alive || soap->tcp_keep_alive, SOL_SOCKET, SO_KEEPALIVE, &set,
         "setsockopt SO_KEEPALIVE failed in tcp_connect()"},
        {soap->sndbuf > 0, SOL_SOCKET, SO_SNDBUF, &soap->sndbuf,
         "setsockopt SO_SNDBUF failed in tcp_connect()"},
        {soap->rcvbuf > 0, SOL_SOCKET, SO_RCVBUF, &soap->rcvbuf,
         "setsockopt SO_RCVBUF failed in tcp_connect()"},
        {true, IPPROTO_TCP, TCP_NODELAY, &set, "setsockopt TCP_NODELAY failed in tcp_connect()"},
    };
    for (const auto& option : options) {
        if (!option.wanted) continue;
        if (setsockopt(socket, option.level, option.name, reinterpret_cast<const char*>(option.value),
                       sizeof(int)) != 0) {
            int error = soap_socket_errno;
            soap->fclosesocket(soap, socket);
            ConnectFailed(soap, error, option.detail);
            return false;
        }
    }
    return true;
}

// The wait of the runtime's connect time-out in milliseconds (it is never 0
// here).
int ConnectWaitMs(int timeout) {
    long long ms = timeout > 0 ? timeout * 1000LL : (-static_cast<long long>(timeout) + 999) / 1000;
    return ms > INT_MAX ? INT_MAX : static_cast<int>(ms < 1 ? 1 : ms);
}

// A plain TCP connection made as the runtime's own connect routine makes it
// (each address of the host in turn, the same socket options, the same
// blocking mode afterwards, the same errors and words), except that the wait
// for the connection also ends when it fails: where a failed connect does not
// make its socket writable (KoFailedConnectIsWritable), the runtime would
// wait for the whole connect time-out. For connections without a proxy, a
// bound client address or TLS, with a connect time-out.
SOAP_SOCKET ConnectPlain(struct soap* soap, const char* host, int port) {
    soap->errnum = 0;
    soap->errmode = 0;
    if (soap_valid_socket(soap->socket)) {
        soap->fclosesocket(soap, soap->socket);
        soap->socket = SOAP_INVALID_SOCKET;
    }
    KoSocketStartup();
    addrinfo hints;
    memset(&hints, 0, sizeof hints);
    hints.ai_family = PF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* addresses = nullptr;
    soap->errmode = 2;
    int resolved = getaddrinfo(host, std::to_string(port).c_str(), &hints, &addresses);
    if (resolved || !addresses) {
        soap_set_receiver_error(soap, SOAP_GAI_STRERROR(resolved), "getaddrinfo failed in tcp_connect()",
                                SOAP_TCP_ERROR);
        if (addresses) freeaddrinfo(addresses);
        return SOAP_INVALID_SOCKET;
    }
    soap->errmode = 0;
    SOAP_SOCKET socket = SOAP_INVALID_SOCKET;
    for (addrinfo* address = addresses; address; address = address->ai_next) {
        socket = ::socket(address->ai_family, address->ai_socktype, address->ai_protocol);
        if (!soap_valid_socket(socket)) {
            if (address->ai_next) continue;
            int error = soap_socket_errno;
            freeaddrinfo(addresses);
            return ConnectFailed(soap, error, "socket failed in tcp_connect()");
        }
        soap->socket = socket;
        if (!SetSocketOptions(soap, socket)) {
            freeaddrinfo(addresses);
            return SOAP_INVALID_SOCKET;
        }
        KoSetSocketBlocking(socket, false);
        int error = 0;
        int outcome = 1;
        if (connect(socket, address->ai_addr, static_cast<int>(address->ai_addrlen)) != 0) {
            error = soap_socket_errno;
            outcome = error == SOAP_EINPROGRESS || error == SOAP_EWOULDBLOCK || error == SOAP_EAGAIN
                          ? KoWaitForConnect(socket, ConnectWaitMs(soap->connect_timeout), &error)
                          : -1;
        }
        if (outcome == 1) break;
        soap->fclosesocket(soap, socket);
        soap->socket = socket = SOAP_INVALID_SOCKET;
        if (address->ai_next) continue;
        freeaddrinfo(addresses);
        if (outcome == 0) {
            soap_set_receiver_error(soap, "Timeout", "connect failed in tcp_connect()", SOAP_TCP_ERROR);
            return SOAP_INVALID_SOCKET;
        }
        return ConnectFailed(soap, error, "connect failed in tcp_connect()");
    }
    freeaddrinfo(addresses);
    soap->peerlen = 0; // connected: send() needs no address
    soap->imode &= ~SOAP_ENC_SSL;
    soap->omode &= ~SOAP_ENC_SSL;
    KoSetSocketBlocking(socket, !(soap->recv_timeout || soap->send_timeout));
    return socket;
}

} // namespace

// Before each transfer the wait is cut to what is left of the call's deadline;
// with the deadline passed, or after a time-out, nothing more moves.
bool AssetsPortBinding::PrepareWait(int* wait) {
    // After a time-out the runtime may try again; the call is over.
    if (m_timedOut) return false;
    if (!m_callMs) {
        *wait = RuntimeTimeout(m_idleMs);
        return true;
    }
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(m_deadline - Clock::now()).count();
    if (left <= 0) {
        m_timedOut = true;
        return false;
    }
    *wait = RuntimeTimeout(Smaller(m_idleMs, static_cast<unsigned long>(left)));
    return true;
}

int AssetsPortBinding::TimedSend(struct soap* soap, const char* data, size_t size) {
    AssetsPortBinding* self = static_cast<AssetsPortBinding*>(soap->user);
    int wait = 0;
    if (!self->PrepareWait(&wait)) return SOAP_EOF;
    soap->send_timeout = wait;
    auto start = Clock::now();
    int result = self->m_send(soap, data, size);
    if (result == SOAP_OK) self->m_sent += size;
    if (result != SOAP_OK && soap->errnum == 0 && WaitPassed(start, wait)) self->m_timedOut = true;
    return result;
}

size_t AssetsPortBinding::TimedRecv(struct soap* soap, char* data, size_t size) {
    AssetsPortBinding* self = static_cast<AssetsPortBinding*>(soap->user);
    int wait = 0;
    if (!self->PrepareWait(&wait)) return 0;
    soap->recv_timeout = wait;
    auto start = Clock::now();
    size_t result = self->m_recv(soap, data, size);
    self->m_received += result;
    if (result == 0 && soap->errnum == 0 && WaitPassed(start, wait)) self->m_timedOut = true;
    // Bytes beyond a limit are never handed to the parser: the response ends.
    if (result && !self->m_limits.Scan(data, result)) return 0;
    return result;
}

SOAP_SOCKET AssetsPortBinding::TimedOpen(struct soap* soap, const char* endpoint, const char* host,
                                         int port) {
    AssetsPortBinding* self = static_cast<AssetsPortBinding*>(soap->user);
    self->m_tlsWords.clear();
    // The runtime bounds the TLS handshake by the longest of its time-outs:
    // here the idle time-out cut to what is left of the deadline.
    int wait = 0;
    if (!self->PrepareWait(&wait)) {
        soap->error = SOAP_TCP_ERROR;
        return SOAP_INVALID_SOCKET;
    }
    int sendTimeout = soap->send_timeout, recvTimeout = soap->recv_timeout;
    soap->send_timeout = soap->recv_timeout = wait;
    // What the routine of our own does not do is left to the runtime.
    bool connectOfOurOwn = self->ownConnect && endpoint && soap_tag_cmp(endpoint, "https:*") &&
                           !soap->proxy_host && soap->connect_timeout && !soap->connect_flags &&
                           !soap->client_addr && soap->client_port < 0 && !soap->client_interface &&
                           !(soap->omode & SOAP_IO_UDP);
    SOAP_SOCKET socket =
        connectOfOurOwn ? ConnectPlain(soap, host, port) : self->m_open(soap, endpoint, host, port);
    soap->send_timeout = sendTimeout;
    soap->recv_timeout = recvTimeout;
    if (!soap_valid_socket(socket) && soap->error == SOAP_SSL_ERROR) self->m_tlsWords = CZuTls::Explain(soap);
    return socket;
}

AssetsPortBinding::~AssetsPortBinding() {
    if (!soap) return;
    KoSigPipeGuard noSigPipe;
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

void AssetsPortBinding::SetTimeouts(unsigned long connectMs, unsigned long idleMs, unsigned long callMs) {
    if (!soap) return;
    m_idleMs = idleMs;
    m_callMs = callMs;
    soap->connect_timeout = RuntimeTimeout(Smaller(connectMs, callMs));
    soap->send_timeout = RuntimeTimeout(idleMs);
    soap->recv_timeout = RuntimeTimeout(idleMs);
}

void AssetsPortBinding::SetTls(const std::string& caFile, bool verify) {
    m_caFile = caFile;
    m_verify = verify;
    m_tlsReady = false;
}

bool AssetsPortBinding::SupportsTls() { return ZU_HAVE_TLS != 0; }

int AssetsPortBinding::PrepareTls(const char* operation) {
    if (m_tlsReady) return SOAP_OK;
    int code = CZuTls::SetUpClient(soap, m_caFile.c_str(), m_verify);
    if (code != SOAP_OK) {
        m_report.Capture(soap, code, operation);
        m_report.NothingSent("The trusted certificates could not be read");
        return code;
    }
    m_tlsReady = true;
    return SOAP_OK;
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
    m_contentRefused = false;
    // The sink serves this call alone; without room for it the content is
    // read into memory.
    CZuContentSink* sink = m_sink;
    m_sink = nullptr;
    if (!soap) {
        m_report.Refuse(SOAP_EOM, operation, "Out of memory");
        return SOAP_EOM;
    }
    if (endpoint && !*endpoint) {
        m_report.Refuse(SOAP_TCP_ERROR, operation, "The service URL is empty");
        return soap_set_sender_error(soap, "Empty endpoint", "The service URL is empty", SOAP_TCP_ERROR);
    }
    if (!SupportsTls() && IsHttps(endpoint)) {
        m_report.Refuse(SOAP_SSL_ERROR, operation, kNoTlsWords);
        return soap_set_sender_error(soap, "No TLS support", kNoTlsWords, SOAP_SSL_ERROR);
    }
    if (IsHttps(endpoint)) {
        int code = PrepareTls(operation);
        if (code != SOAP_OK) return code;
    }
    m_timedOut = false;
    m_sent = m_received = 0;
    m_tlsWords.clear();
    m_limits.Reset();
    if (m_callMs) m_deadline = Clock::now() + std::chrono::milliseconds(m_callMs);
    int code;
    {
        // TLS writes (the request, the closing alert) cannot ask for no SIGPIPE.
        KoSigPipeGuard noSigPipe;
        if (sink && CZuContentSink::Attach(soap, sink) != SOAP_OK) sink = nullptr;
        code = call(soap, endpoint, "", request, response);
        if (sink) CZuContentSink::Attach(soap, nullptr);
    }
    m_contentRefused = code != SOAP_OK && sink && sink->Refused();
    if (code == SOAP_FAULT) code = soap->error = FaultResult(soap);
    if (code != SOAP_OK && m_timedOut) {
        // The runtime's words for the time-out, not those of what it made of it.
        code = soap->error = SOAP_EOF;
        if (soap->fault) {
            *soap_faultstring(soap) = nullptr;
            *soap_faultdetail(soap) = nullptr;
        }
    }
    if (code != SOAP_OK && m_limits.Refused()) {
        code = RefusedResponse(code, operation);
    } else if (code != SOAP_OK) {
        m_report.Capture(soap, code, operation);
        // A server refused while connecting got nothing: the user's words
        // first, then the runtime's.
        if (code == SOAP_SSL_ERROR && !m_tlsWords.empty()) m_report.NothingSent(m_tlsWords.c_str());
    } else {
        m_report.operation = operation;
        if (soap->status >= 100 && soap->status <= 599) m_report.httpStatus = soap->status;
    }
    m_report.bytesSent = m_sent;
    m_report.bytesReceived = m_received;
    return code;
}

int AssetsPortBinding::RefusedResponse(int, const char* operation) {
    const int code = soap->error = m_limits.Code();
    if (soap->fault) {
        *soap_faultstring(soap) = nullptr;
        *soap_faultdetail(soap) = nullptr;
    }
    m_report.Capture(soap, code, operation);
    const char* reason = m_limits.Reason();
    m_report.runtimeWords.assign(reason, reason + strlen(reason));
    return code;
}

// One forwarder per operation of the table.
#define ZU_ASSETS_DEFINE_OPERATION(Operation, Request, Response)                               \
    int AssetsPortBinding::__assets__##Operation(ZuAssets::types__##Request* request,          \
                                                 ZuAssets::types__##Response* response) {      \
        return Call(#Operation, ZuAssets::soap_call___assets__##Operation, request, response); \
    }
ZU_ASSETS_OPERATIONS(ZU_ASSETS_DEFINE_OPERATION)
#undef ZU_ASSETS_DEFINE_OPERATION
