#include "AssetsService.h"

#include <limits.h>
#include <stdint.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>

#include "AssetsSimSoapH.h"
#include "CZuAssetsEnvelope.h"
#include "CZuTls.h"
#include "KoSocket.h"
#include "ZuAssetsNamespaces.h"

using namespace AssetsSimSoap;

namespace assets_sim {

namespace {

// Deepest element nesting a request may have; the deepest real one is a few
// nested search groups.
const unsigned kMaxXmlDepth = 200;
// What the HTTP headers of a request may add to its declared length.
const size_t kHeaderAllowance = 64 * 1024;

std::string UtcNow() {
    time_t now = time(nullptr);
    struct tm parts;
    gmtime_r(&now, &parts);
    char text[32];
    strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

// A time-out as the runtime takes it: whole seconds, or microseconds when
// negative; 0 is none.
int RuntimeTimeout(std::chrono::milliseconds timeout) {
    long long ms = timeout.count();
    if (ms <= 0) return 0;
    if (ms % 1000 == 0 || ms > INT_MAX / 1000)
        return ms / 1000 > INT_MAX ? INT_MAX : static_cast<int>(ms / 1000);
    return -static_cast<int>(ms * 1000);
}

} // namespace

AssetsService::AssetsService(AssetTree& tree, std::mutex& treeLock, const Options& options)
    : m_tree(tree),
      m_treeLock(treeLock),
      m_users(options.users),
      m_maxRequestBytes(options.maxRequestBytes),
      m_idleTimeout(options.idleTimeout),
      m_requestDeadline(options.requestDeadline),
      m_tls(!options.tlsCertificate.empty() || !options.tlsKey.empty()) {}

void AssetsService::Configure(struct soap* soap) {
    soap_set_mode(soap, SOAP_C_UTFSTRING | SOAP_XML_STRICT);
    soap_set_namespaces(soap, ZuAssetsNamespaces());
    // The listening context serves no request; each copy gets its connection.
    soap->user = nullptr;
    soap->bind_flags = SO_REUSEADDR;
    // A peer that goes away must give an error, not SIGPIPE.
    soap->socket_flags = MSG_NOSIGNAL;
    soap->recv_timeout = RuntimeTimeout(std::chrono::duration_cast<std::chrono::milliseconds>(m_idleTimeout));
    soap->send_timeout = soap->recv_timeout;
    // The runtime's own bound of each way of the exchange, behind the watch
    // that cuts the whole exchange off at its deadline.
    soap->transfer_timeout =
        RuntimeTimeout(std::chrono::duration_cast<std::chrono::milliseconds>(m_requestDeadline));
    soap->maxlevel = kMaxXmlDepth;
    soap->recv_maxlength =
        m_maxRequestBytes > SIZE_MAX - kHeaderAllowance ? 0 : m_maxRequestBytes + kHeaderAllowance;
    m_defaultParse = soap->fparse;
    soap->fparse = ParseHeaders;
    m_defaultReceive = soap->frecv;
    soap->frecv = Receive;
    soap->fclosesocket = CloseSocket;
    std::lock_guard<std::mutex> lock(m_connectionLock);
    m_interrupted = false;
    m_cutOffBy = Clock::time_point::max();
    m_watchEnded = false;
    m_watchWakesAt = Clock::time_point::min();
}

void AssetsService::Watch() {
    std::unique_lock<std::mutex> lock(m_connectionLock);
    while (!m_watchEnded) {
        Clock::time_point now = Clock::now(), next = Clock::time_point::max();
        for (Connection* connection : m_connections) {
            if (!soap_valid_socket(connection->socket)) continue;
            if (connection->deadline <= now) {
                // The serving thread finds the connection broken either way
                // and ends the exchange; the socket stays open until it does.
                shutdown(connection->socket, SHUT_RDWR);
                connection->socket = SOAP_INVALID_SOCKET;
            } else if (connection->deadline < next) {
                next = connection->deadline;
            }
        }
        m_watchWakesAt = next;
        if (next == Clock::time_point::max())
            m_connectionsChanged.wait(lock);
        else
            m_connectionsChanged.wait_until(lock, next);
    }
}

void AssetsService::EndWatch() {
    std::lock_guard<std::mutex> lock(m_connectionLock);
    m_watchEnded = true;
    m_connectionsChanged.notify_all();
}

void AssetsService::Interrupt(Clock::duration grace) {
    std::lock_guard<std::mutex> lock(m_connectionLock);
    m_interrupted = true;
    m_cutOffBy = std::min(m_cutOffBy, Clock::now() + grace);
    for (Connection* connection : m_connections) {
        if (!soap_valid_socket(connection->socket)) continue;
        shutdown(connection->socket, SHUT_RD);
        connection->deadline = std::min(connection->deadline, m_cutOffBy);
    }
    m_connectionsChanged.notify_all();
}

int AssetsService::CloseSocket(struct soap* soap, SOAP_SOCKET socket) {
    if (soap->user) {
        Connection& connection = ConnectionOf(soap);
        std::lock_guard<std::mutex> lock(connection.service->m_connectionLock);
        if (connection.socket == socket) connection.socket = SOAP_INVALID_SOCKET;
    }
    return soap_closesocket(socket);
}

AssetsService::Connection& AssetsService::ConnectionOf(struct soap* soap) {
    return *static_cast<Connection*>(soap->user);
}

AssetsService& AssetsService::Of(struct soap* soap) { return *ConnectionOf(soap).service; }

int AssetsService::ParseHeaders(struct soap* soap) {
    Connection& connection = ConnectionOf(soap);
    AssetsService& service = *connection.service;
    int code = service.m_defaultParse(soap);
    if (code) return code;
    ++service.m_requests;
    connection.arrived = true;
    // Refused from the declared length, before the body is read.
    if (soap->length > service.m_maxRequestBytes) return 413;
    // Unless it is chunked, the body ends where its declared length says (no
    // length: no body), whether its XML is complete or not: a request cut
    // short is answered, not waited on.
    if ((soap->imode & SOAP_IO) != SOAP_IO_CHUNK) {
        size_t buffered = soap->buflen - soap->bufidx;
        connection.bodyLimited = true;
        connection.bodyLeft = soap->length > buffered ? static_cast<size_t>(soap->length) - buffered : 0;
    }
    return SOAP_OK;
}

size_t AssetsService::Receive(struct soap* soap, char* buffer, size_t size) {
    Connection& connection = ConnectionOf(soap);
    AssetsService& service = *connection.service;
    if (!connection.bodyLimited) return service.m_defaultReceive(soap, buffer, size);
    if (connection.bodyLeft == 0) return 0;
    size_t got =
        service.m_defaultReceive(soap, buffer, size < connection.bodyLeft ? size : connection.bodyLeft);
    connection.bodyLeft -= got;
    return got;
}

int AssetsService::ServeRequest(struct soap* soap, Connection& connection) {
    // The runtime's own serving loop, less its keep-alive, with an answer for
    // every request it can answer: the runtime leaves a body that is no SOAP
    // envelope, or XML that ends before it is complete, without a response.
    if (!soap_begin_recv(soap) && !soap_envelope_begin_in(soap) && !soap_recv_header(soap) &&
        !soap_body_begin_in(soap) && !AssetsSimSoap::soap_serve_request(soap))
        return SOAP_OK;
    int error = soap->error;
    // The answer itself could not be sent: nothing more to say.
    if (connection.answering) {
        soap_closesock(soap);
        return error;
    }
    bool readWhole = connection.bodyLimited && connection.bodyLeft == 0;
    if (error >= SOAP_STOP || (error == SOAP_EOF && readWhole)) {
        if (soap->version == 0) soap->version = 1; // no envelope was read: answer in SOAP 1.1
        soap_sender_fault(soap, "Malformed request",
                          error == SOAP_EOF ? "The request ended before its XML was complete."
                                            : "The request is not a SOAP envelope.");
    } else if (error == SOAP_EOF) {
        return soap_closesock(soap); // the peer went away
    }
    // A fault never carries the request's credentials back.
    soap->header = nullptr;
    return soap_send_fault(soap);
}

std::string AssetsService::Serve(struct soap* soap) {
    Connection connection;
    connection.service = this;
    soap->user = &connection;
    std::list<Connection*>::iterator registered;
    {
        std::lock_guard<std::mutex> lock(m_connectionLock);
        connection.socket = soap->socket;
        connection.deadline = m_requestDeadline > Clock::duration::zero() ? Clock::now() + m_requestDeadline
                                                                          : Clock::time_point::max();
        connection.deadline = std::min(connection.deadline, m_cutOffBy);
        registered = m_connections.insert(m_connections.end(), &connection);
        if (m_interrupted) shutdown(connection.socket, SHUT_RD);
        // The watch needs waking only to an earlier deadline than it waits for.
        if (connection.deadline < m_watchWakesAt) m_connectionsChanged.notify_all();
    }
    // The handshake under the connection's time-outs, on this thread: a slow
    // one holds no other connection.
    bool handshaken = !m_tls || CZuTls::Accept(soap) == SOAP_OK;
    int code = handshaken ? ServeRequest(soap, connection) : soap->error;
    RequestRecord& record = connection.record;
    if (!handshaken) {
        // The TLS library's words come in lines; the log line is one.
        const char* fault = soap_fault_string(soap);
        std::string words = fault ? fault : "-";
        while (!words.empty() && words.back() == '\n') words.pop_back();
        for (size_t at = words.find('\n'); at != std::string::npos; at = words.find('\n', at))
            words.replace(at, 1, "; ");
        record.outcome = "no request (TLS handshake failed: " + words + ")";
    } else if (connection.answering && code) {
        record.outcome += " (the response could not be sent)";
    } else if (record.outcome.empty()) {
        if (!connection.arrived) {
            record.outcome = "no request (connection closed)";
        } else if (code) {
            const char* fault = soap_fault_string(soap);
            record.outcome =
                std::string("fault: ") + (fault && *fault ? fault : "error " + std::to_string(code));
        } else {
            record.outcome = "ok";
        }
    }
    soap_closesock(soap);
    {
        std::lock_guard<std::mutex> lock(m_connectionLock);
        m_connections.erase(registered);
    }
    soap_destroy(soap);
    soap_end(soap);
    soap->user = nullptr;
    return UtcNow() + " " + record.user + " " + record.operation + " " + record.uri + " -> " + record.outcome;
}

const ServiceError* AssetsService::Authenticate(struct soap* soap, const char* operation,
                                                const std::string& uri) {
    Connection& connection = ConnectionOf(soap);
    RequestRecord& record = connection.record;
    record.operation = operation;
    record.uri = uri.empty() ? "-" : uri;
    std::string name, password;
    bool sent = CZuAssetsEnvelope::GetCredentials(soap, &name, &password);
    // The response carries no header: credentials are never sent back.
    soap->header = nullptr;
    if (!sent) {
        connection.authError =
            ServiceError{kErrorAuthentication, "", "No credentials were sent.",
                         "Every request needs a UserCredentials header with a user name and password."};
        Record(soap, connection.authError);
        return &connection.authError;
    }
    for (const assets_sim::User& user : m_users) {
        if (user.name == name && user.password == password) {
            record.user = user.name;
            return nullptr;
        }
    }
    record.user = name.empty() ? "-" : Printable(name);
    connection.authError =
        ServiceError{kErrorAuthentication, "", "The user name or password is wrong.",
                     "The server knows no user \"" + Printable(name) +
                         "\" with that password; check the credentials of the service settings."};
    Record(soap, connection.authError);
    return &connection.authError;
}

void AssetsService::Record(struct soap* soap, const Status& status) {
    Connection& connection = ConnectionOf(soap);
    connection.answering = true;
    connection.record.outcome = status ? "error " + status->code + ": " + status->message : "ok";
}

void AssetsService::RecordFault(struct soap* soap, const std::string& message) {
    ConnectionOf(soap).record.outcome = "fault: " + message;
}

const std::string& AssetsService::User(struct soap* soap) { return ConnectionOf(soap).record.user; }

std::string AssetsService::Printable(const std::string& header) {
    std::string out;
    for (size_t i = 0; i < header.size();) {
        unsigned char lead = static_cast<unsigned char>(header[i]);
        size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
        bool valid = length > 0 && i + length <= header.size();
        for (size_t k = 1; valid && k < length; ++k)
            valid = (static_cast<unsigned char>(header[i + k]) & 0xC0) == 0x80;
        if (valid && lead >= 0x20 && lead != 0x7F) {
            out.append(header, i, length);
            i += length;
        } else {
            out.push_back('?');
            ++i;
        }
    }
    return out;
}

} // namespace assets_sim
