// The Assets service on the wire: serves one request per connection, each
// connection on a copy of the configured SOAP context, any number of them at
// once on the threads of the caller's choice; checks the credentials of every
// request, turns the request into an operation of the tree (under the tree's
// lock) and the outcome into the response.
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
//     413 before its body is read; one that turns out longer is cut off;
//   - a connection on which no byte moves for the idle time-out, or that is
//     still open when its request deadline passes, is cut off.
// Text is UTF-8 in and out; character references are read as the characters
// they stand for. Credentials never travel back: no response carries a SOAP
// header.
#ifndef ASSETS_SIM_ASSETS_SERVICE_H
#define ASSETS_SIM_ASSETS_SERVICE_H

#include <stddef.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <list>
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
    using Clock = std::chrono::steady_clock;

    // Serves the tree (guarded by treeLock) to the users of options, with its
    // bound of requests and its time-outs.
    AssetsService(AssetTree& tree, std::mutex& treeLock, const Options& options);

    // Sets up a listening context: string mode, namespaces, limits, time-outs
    // and the hooks that lead back to this service. Ends an earlier Interrupt.
    void Configure(struct soap* soap);

    // Serves the one request on an accepted connection (the connection's own
    // copy of the configured context; with TLS, after the handshake) and
    // closes it. The log line of the
    // request. Any number of threads may serve at once.
    std::string Serve(struct soap* soap);

    // Requests whose headers were read so far.
    size_t RequestCount() const { return m_requests.load(); }

    // Cuts off the connections whose request deadline has passed, as it
    // passes, until EndWatch; on a thread of its own.
    void Watch();
    void EndWatch();

    // From another thread: stops reading the connections being served and
    // those served later, so that a peer that stalls mid-request cannot hold
    // the service; a request read whole is still answered if its response is
    // out within grace, and cut off when not.
    void Interrupt(Clock::duration grace);

    // What the generated operations call: the service of a context, the
    // request's user when its credentials are right, the outcome for the log.
    static AssetsService& Of(struct soap* soap);
    const ServiceError* Authenticate(struct soap* soap, const char* operation, const std::string& uri);
    // The outcome of a request that gets its response (Record) or a fault
    // (RecordFault).
    static void Record(struct soap* soap, const Status& status);
    static void RecordFault(struct soap* soap, const std::string& message);
    static const std::string& User(struct soap* soap);
    AssetTree& Tree() { return m_tree; }
    std::mutex& TreeLock() { return m_treeLock; }

    // Header text (UTF-8: the service's thread code page) for the log:
    // control characters and bytes that are not UTF-8 as '?'.
    static std::string Printable(const std::string& header);

private:
    struct RequestRecord {
        std::string user = "-";
        std::string operation = "-";
        std::string uri = "-";
        std::string outcome;
    };
    // One connection being served: what its request told so far (the state
    // of the serving thread alone) and, under m_connectionLock, its socket
    // (-1 once closed) and the time it is cut off at.
    struct Connection {
        AssetsService* service = nullptr;
        RequestRecord record;
        // Whether the request's headers were read.
        bool arrived = false;
        // Whether the request being read declared its length, and how many
        // of its bytes are still to come from the socket.
        bool bodyLimited = false;
        size_t bodyLeft = 0;
        // Whether the request was read and handled, so that what remains is
        // to send its response.
        bool answering = false;
        ServiceError authError;
        SOAP_SOCKET socket = SOAP_INVALID_SOCKET;
        Clock::time_point deadline;
    };

    static Connection& ConnectionOf(struct soap* soap);
    int ServeRequest(struct soap* soap, Connection& connection);
    static int ParseHeaders(struct soap* soap);
    static size_t Receive(struct soap* soap, char* buffer, size_t size);
    static int CloseSocket(struct soap* soap, SOAP_SOCKET socket);

    AssetTree& m_tree;
    std::mutex& m_treeLock;
    std::vector<assets_sim::User> m_users;
    size_t m_maxRequestBytes;
    Clock::duration m_idleTimeout;
    Clock::duration m_requestDeadline;
    bool m_tls;
    int (*m_defaultParse)(struct soap*) = nullptr;
    size_t (*m_defaultReceive)(struct soap*, char*, size_t) = nullptr;
    // The connections being served; whether Interrupt, and EndWatch, were
    // called since Configure, and by when Interrupt wants every connection
    // cut off. Changes wake the watch.
    std::mutex m_connectionLock;
    std::condition_variable m_connectionsChanged;
    std::list<Connection*> m_connections;
    bool m_interrupted = false;
    Clock::time_point m_cutOffBy = Clock::time_point::max();
    // When the watch looks again unless woken.
    Clock::time_point m_watchWakesAt = Clock::time_point::min();
    bool m_watchEnded = false;
    std::atomic<size_t> m_requests{0};
};

} // namespace assets_sim

#endif // ASSETS_SIM_ASSETS_SERVICE_H
