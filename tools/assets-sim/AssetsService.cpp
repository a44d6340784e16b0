#include "AssetsService.h"

#include <stdint.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

#include "AssetsSimSoapH.h"
#include "CZuAssetsEnvelope.h"
#include "KoSocket.h"
#include "ZuAssetsNamespaces.h"

using namespace AssetsSimSoap;

namespace assets_sim {

namespace {

// Deepest element nesting a request may have; the deepest real one is a few
// nested search groups.
const unsigned kMaxXmlDepth = 200;
// A peer that stalls this long mid-request loses its connection.
const int kIoTimeoutSeconds = 30;
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

} // namespace

AssetsService::AssetsService(AssetTree& tree, std::mutex& treeLock, std::vector<assets_sim::User> users,
                             size_t maxRequestBytes)
    : m_tree(tree), m_treeLock(treeLock), m_users(std::move(users)), m_maxRequestBytes(maxRequestBytes) {}

void AssetsService::Configure(struct soap* soap) {
    soap_set_mode(soap, SOAP_C_UTFSTRING | SOAP_XML_STRICT);
    soap_set_namespaces(soap, ZuAssetsNamespaces());
    soap->user = this;
    soap->bind_flags = SO_REUSEADDR;
    // A peer that goes away must give an error, not SIGPIPE.
    soap->socket_flags = MSG_NOSIGNAL;
    soap->recv_timeout = kIoTimeoutSeconds;
    soap->send_timeout = kIoTimeoutSeconds;
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
}

void AssetsService::Interrupt() {
    std::lock_guard<std::mutex> lock(m_connectionLock);
    m_interrupted = true;
    if (soap_valid_socket(m_connection)) shutdown(m_connection, SHUT_RD);
}

int AssetsService::CloseSocket(struct soap* soap, SOAP_SOCKET socket) {
    AssetsService& service = Of(soap);
    {
        std::lock_guard<std::mutex> lock(service.m_connectionLock);
        if (service.m_connection == socket) service.m_connection = SOAP_INVALID_SOCKET;
    }
    return soap_closesocket(socket);
}

AssetsService& AssetsService::Of(struct soap* soap) { return *static_cast<AssetsService*>(soap->user); }

int AssetsService::ParseHeaders(struct soap* soap) {
    AssetsService& service = Of(soap);
    int code = service.m_defaultParse(soap);
    if (code) return code;
    ++service.m_requests;
    // Refused from the declared length, before the body is read.
    if (soap->length > service.m_maxRequestBytes) return 413;
    // Unless it is chunked, the body ends where its declared length says (no
    // length: no body), whether its XML is complete or not: a request cut
    // short is answered, not waited on.
    if ((soap->imode & SOAP_IO) != SOAP_IO_CHUNK) {
        size_t buffered = soap->buflen - soap->bufidx;
        service.m_bodyLimited = true;
        service.m_bodyLeft = soap->length > buffered ? static_cast<size_t>(soap->length) - buffered : 0;
    }
    return SOAP_OK;
}

size_t AssetsService::Receive(struct soap* soap, char* buffer, size_t size) {
    AssetsService& service = Of(soap);
    if (!service.m_bodyLimited) return service.m_defaultReceive(soap, buffer, size);
    if (service.m_bodyLeft == 0) return 0;
    size_t got = service.m_defaultReceive(soap, buffer, size < service.m_bodyLeft ? size : service.m_bodyLeft);
    service.m_bodyLeft -= got;
    return got;
}

int AssetsService::ServeRequest(struct soap* soap) {
    // The runtime's own serving loop, less its keep-alive, with an answer for
    // every request it can answer: the runtime leaves a body that is no SOAP
    // envelope, or XML that ends before it is complete, without a response.
    if (!soap_begin_recv(soap) && !soap_envelope_begin_in(soap) && !soap_recv_header(soap) &&
        !soap_body_begin_in(soap) && !AssetsSimSoap::soap_serve_request(soap))
        return SOAP_OK;
    int error = soap->error;
    // The answer itself could not be sent: nothing more to say.
    if (m_answering) {
        soap_closesock(soap);
        return error;
    }
    bool readWhole = m_bodyLimited && m_bodyLeft == 0;
    if (error >= SOAP_STOP || (error == SOAP_EOF && readWhole)) {
        if (soap->version == 0) soap->version = 1;  // no envelope was read: answer in SOAP 1.1
        soap_sender_fault(soap, "Malformed request",
                          error == SOAP_EOF ? "The request ended before its XML was complete."
                                            : "The request is not a SOAP envelope.");
    } else if (error == SOAP_EOF) {
        return soap_closesock(soap);  // the peer went away
    }
    // A fault never carries the request's credentials back.
    soap->header = nullptr;
    return soap_send_fault(soap);
}

std::string AssetsService::Serve(struct soap* soap) {
    m_record = RequestRecord();
    m_answering = false;
    m_bodyLimited = false;
    m_bodyLeft = 0;
    {
        std::lock_guard<std::mutex> lock(m_connectionLock);
        m_connection = soap->socket;
        if (m_interrupted) shutdown(m_connection, SHUT_RD);
    }
    size_t before = m_requests.load();
    int code = ServeRequest(soap);
    if (m_answering && code) {
        m_record.outcome += " (the response could not be sent)";
    } else if (m_record.outcome.empty()) {
        if (m_requests.load() == before) {
            m_record.outcome = "no request (connection closed)";
        } else if (code) {
            const char* fault = soap_fault_string(soap);
            m_record.outcome = std::string("fault: ") + (fault && *fault ? fault : "error " + std::to_string(code));
        } else {
            m_record.outcome = "ok";
        }
    }
    soap_closesock(soap);
    {
        std::lock_guard<std::mutex> lock(m_connectionLock);
        m_connection = SOAP_INVALID_SOCKET;
    }
    soap_destroy(soap);
    soap_end(soap);
    return UtcNow() + " " + m_record.user + " " + m_record.operation + " " + m_record.uri + " -> " +
           m_record.outcome;
}

const ServiceError* AssetsService::Authenticate(struct soap* soap, const char* operation, const std::string& uri) {
    m_record.operation = operation;
    m_record.uri = uri.empty() ? "-" : uri;
    std::string name, password;
    bool sent = CZuAssetsEnvelope::GetCredentials(soap, &name, &password);
    // The response carries no header: credentials are never sent back.
    soap->header = nullptr;
    if (!sent) {
        m_authError = ServiceError{kErrorAuthentication, "", "No credentials were sent.",
                                   "Every request needs a UserCredentials header with a user name and password."};
        Record(m_authError);
        return &m_authError;
    }
    for (const assets_sim::User& user : m_users) {
        if (user.name == name && user.password == password) {
            m_record.user = user.name;
            return nullptr;
        }
    }
    m_record.user = name.empty() ? "-" : Printable(name);
    m_authError = ServiceError{kErrorAuthentication, "", "The user name or password is wrong.",
                               "The server knows no user \"" + Printable(name) +
                                   "\" with that password; check the credentials of the service settings."};
    Record(m_authError);
    return &m_authError;
}

void AssetsService::Record(const Status& status) {
    m_answering = true;
    m_record.outcome = status ? "error " + status->code + ": " + status->message : "ok";
}

void AssetsService::RecordFault(const std::string& message) { m_record.outcome = "fault: " + message; }

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
