// The Assets service on the wire: serves one connection at a time on a SOAP
// context, checks the credentials of every request, turns the request into an
// operation of the tree and the outcome into the response.
//
// How it answers:
//   - the operations the component calls get their real semantics; a failure
//     is a well-formed response (HTTP 200) whose types:Errors holds one
//     types:Error (Code, InterplayURI when one is concerned, Message,
//     Details), as the real service reports failures, and changes nothing;
//   - missing or wrong credentials (types:UserCredentials checked against the
//     configured users on every request) are such an error too;
//   - the service's other operations get a SOAP fault (Server) with a
//     types:AssetsFaultType detail; unknown operations, XML that is not well
//     formed or breaks the schema (requests are read strictly), a body that is
//     no SOAP envelope or ends early get a SOAP fault (Client);
//   - a request whose declared length is above the bound is refused with HTTP
//     413 before its body is read; one that turns out longer is cut off.
// Text is UTF-8 in and out; character references are read as the characters
// they stand for. Credentials never travel back: no response carries a SOAP
// header.
#ifndef ASSETS_SIM_ASSETS_SERVICE_H
#define ASSETS_SIM_ASSETS_SERVICE_H

#include <stddef.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "AssetTree.h"
#include "AssetsSimulator.h"
#include "stdsoap2.h"

struct soap;

namespace assets_sim {

class AssetsService {
public:
    // Serves the tree (guarded by treeLock) to these users.
    AssetsService(AssetTree& tree, std::mutex& treeLock, std::vector<User> users, size_t maxRequestBytes);

    // Sets up a listening context: string mode, namespaces, limits and the
    // hooks that lead back to this service. Ends an earlier Interrupt.
    void Configure(struct soap* soap);

    // Serves the one request on an accepted connection (a copy of the
    // configured context) and closes it. The log line of the request.
    std::string Serve(struct soap* soap);

    // Requests whose headers were read so far.
    size_t RequestCount() const { return m_requests.load(); }

    // From another thread: stops reading the connection being served and
    // those served later, so that a peer that stalls mid-request cannot hold
    // the service; a request read whole is still answered.
    void Interrupt();

    // What the generated operations call: the service of a context, the
    // request's user when its credentials are right, the outcome for the log.
    static AssetsService& Of(struct soap* soap);
    const ServiceError* Authenticate(struct soap* soap, const char* operation, const std::string& uri);
    // The outcome of a request that gets its response (Record) or a fault
    // (RecordFault).
    void Record(const Status& status);
    void RecordFault(const std::string& message);
    const std::string& User() const { return m_record.user; }
    AssetTree& Tree() { return m_tree; }
    std::mutex& TreeLock() { return m_treeLock; }

    // Header text (UTF-8: the service's thread code page) for the log:
    // control characters and bytes that are not UTF-8 as '?'.
    static std::string Printable(const std::string& header);

private:
    int ServeRequest(struct soap* soap);
    static int ParseHeaders(struct soap* soap);
    static size_t Receive(struct soap* soap, char* buffer, size_t size);
    static int CloseSocket(struct soap* soap, SOAP_SOCKET socket);

    struct RequestRecord {
        std::string user = "-";
        std::string operation = "-";
        std::string uri = "-";
        std::string outcome;
    };

    AssetTree& m_tree;
    std::mutex& m_treeLock;
    std::vector<assets_sim::User> m_users;
    size_t m_maxRequestBytes;
    int (*m_defaultParse)(struct soap*) = nullptr;
    size_t (*m_defaultReceive)(struct soap*, char*, size_t) = nullptr;
    // Whether the request being read declared its length, and how many of
    // its bytes are still to come from the socket.
    bool m_bodyLimited = false;
    size_t m_bodyLeft = 0;
    // The socket of the connection being served, or -1; whether Interrupt was
    // called since Configure.
    std::mutex m_connectionLock;
    SOAP_SOCKET m_connection = SOAP_INVALID_SOCKET;
    bool m_interrupted = false;
    std::atomic<size_t> m_requests{0};
    RequestRecord m_record;
    // Whether the request was read and handled, so that what remains is to
    // send its response.
    bool m_answering = false;
    ServiceError m_authError;
};

} // namespace assets_sim

#endif // ASSETS_SIM_ASSETS_SERVICE_H
