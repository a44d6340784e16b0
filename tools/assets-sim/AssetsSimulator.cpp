#include "AssetsSimulator.h"

#include <string.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "AssetTree.h"
#include "AssetsService.h"
#include "CZuTls.h"
#include "KoPlatform.h"
#include "KoSocket.h"
#include "stdsoap2.h"

namespace assets_sim {

namespace {

const int kBacklog = 64;
// The code page in which the credentials header hands over its texts.
const unsigned kUtf8CodePage = 65001;
// How long Stop lets responses already under way finish.
const std::chrono::milliseconds kStopGrace(500);

} // namespace

// Threads: one accepts connections and hands each, on a copy of the listening
// context, to the pool through a queue as long as the pool's threads; one
// watches the deadlines of the connections being served.
class AssetsSimulator::Impl {
public:
    explicit Impl(Options options) : options(std::move(options)), service(tree, treeLock, this->options) {}

    void Accept() {
        size_t bound = Threads();
        while (!stopping.load()) {
            {
                std::unique_lock<std::mutex> lock(queueLock);
                queueHasRoom.wait(lock, [&] { return stopping.load() || queue.size() < bound; });
                if (stopping.load()) break;
            }
            if (!soap_valid_socket(soap_accept(listener))) {
                if (stopping.load()) break;
                // A failed accept (the peer gave up, no descriptors left):
                // wait a moment rather than spin.
                soap_destroy(listener);
                soap_end(listener);
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
                continue;
            }
            // The connection's context is a copy of the listening one that
            // takes its socket along.
            struct soap* connection = soap_copy(listener);
            if (!connection) soap_force_closesock(listener);
            listener->socket = SOAP_INVALID_SOCKET;
            if (!connection) continue;
            std::lock_guard<std::mutex> lock(queueLock);
            queue.push_back(connection);
            queueHasWork.notify_one();
        }
    }

    void Work() {
        KoSetThreadCodePage(kUtf8CodePage);
        // TLS writes to a peer that went away cannot ask for no SIGPIPE.
        KoSigPipeGuard noSigPipe;
        for (;;) {
            struct soap* connection = nullptr;
            {
                std::unique_lock<std::mutex> lock(queueLock);
                queueHasWork.wait(lock, [&] { return stopping.load() || !queue.empty(); });
                if (queue.empty()) return;
                connection = queue.front();
                queue.pop_front();
                queueHasRoom.notify_one();
            }
            // Connections still waiting when serving stops are closed unserved.
            if (!stopping.load()) {
                std::string line = service.Serve(connection);
                if (options.log) {
                    std::lock_guard<std::mutex> lock(logLock);
                    options.log(line);
                }
            }
            soap_destroy(connection);
            soap_end(connection);
            soap_free(connection);
        }
    }

    size_t Threads() const { return options.threads ? options.threads : 1; }
    bool Tls() const { return !options.tlsCertificate.empty() || !options.tlsKey.empty(); }

    // Frees the listening context with all it allocated, closing its socket.
    void Release() {
        soap_destroy(listener);
        soap_end(listener);
        soap_free(listener);
        listener = nullptr;
        listenSocket = SOAP_INVALID_SOCKET;
    }

    Options options;
    AssetTree tree;
    mutable std::mutex treeLock;
    AssetsService service;
    struct soap* listener = nullptr;
    SOAP_SOCKET listenSocket = SOAP_INVALID_SOCKET;
    uint16_t port = 0;
    std::atomic<bool> stopping{false};
    // Accepted connections waiting for a thread of the pool.
    std::mutex queueLock;
    std::condition_variable queueHasWork, queueHasRoom;
    std::deque<struct soap*> queue;
    std::mutex logLock;
    std::thread acceptor, watch;
    std::vector<std::thread> pool;
};

AssetsSimulator::AssetsSimulator(Options options) : m_impl(std::make_unique<Impl>(std::move(options))) {}

AssetsSimulator::~AssetsSimulator() { Stop(); }

bool AssetsSimulator::Start(std::string* error) {
    Impl& impl = *m_impl;
    if (impl.acceptor.joinable()) return true;
    CZuTls::Initialise();
    impl.listener = soap_new();
    if (!impl.listener) {
        if (error) *error = "out of memory";
        return false;
    }
    impl.service.Configure(impl.listener);
    if (impl.Tls() && CZuTls::SetUpServer(impl.listener, impl.options.tlsCertificate.c_str(),
                                          impl.options.tlsKey.c_str()) != SOAP_OK) {
        if (error) {
            const char* detail = soap_fault_detail(impl.listener);
            *error = std::string("cannot serve HTTPS: ") + (detail ? detail : "TLS set-up failed");
        }
        impl.Release();
        return false;
    }
    if (!soap_valid_socket(
            soap_bind(impl.listener, impl.options.host.c_str(), impl.options.port, kBacklog))) {
        if (error) {
            const char* detail = soap_fault_detail(impl.listener);
            *error =
                "cannot listen on " + impl.options.host + ":" + std::to_string(impl.options.port) + ": " +
                (impl.listener->errnum ? strerror(impl.listener->errnum) : (detail ? detail : "bind failed"));
        }
        impl.Release();
        return false;
    }
    impl.listenSocket = impl.listener->master;
    // Stop's shutdown wakes a waiting accept on Linux, not on Windows: there
    // the accept comes back every 200 ms to look at the stop flag.
    impl.listener->accept_timeout = -200000;
    struct sockaddr_storage address;
    socklen_t length = sizeof address;
    getsockname(impl.listenSocket, reinterpret_cast<struct sockaddr*>(&address), &length);
    impl.port =
        ntohs(address.ss_family == AF_INET6 ? reinterpret_cast<struct sockaddr_in6*>(&address)->sin6_port
                                            : reinterpret_cast<struct sockaddr_in*>(&address)->sin_port);
    impl.stopping = false;
    impl.watch = std::thread([&impl] { impl.service.Watch(); });
    for (size_t i = 0; i < impl.Threads(); ++i) impl.pool.emplace_back([&impl] { impl.Work(); });
    impl.acceptor = std::thread([&impl] { impl.Accept(); });
    return true;
}

void AssetsSimulator::Stop() {
    Impl& impl = *m_impl;
    if (!impl.acceptor.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(impl.queueLock);
        impl.stopping = true;
        impl.queueHasWork.notify_all();
        impl.queueHasRoom.notify_all();
    }
    // Wakes the accept; peers that stall mid-request are cut off, requests
    // read whole are still answered if that takes no longer than a moment.
    shutdown(impl.listenSocket, SHUT_RDWR);
    impl.service.Interrupt(kStopGrace);
    impl.acceptor.join();
    for (std::thread& thread : impl.pool) thread.join();
    impl.pool.clear();
    impl.service.EndWatch();
    impl.watch.join();
    impl.Release();
}

uint16_t AssetsSimulator::Port() const { return m_impl->port; }

std::string AssetsSimulator::ServiceURL() const {
    const std::string& host = m_impl->options.host;
    std::string authority = host.find(':') != std::string::npos ? "[" + host + "]" : host;
    return (m_impl->Tls() ? "https://" : "http://") + authority + ":" + std::to_string(m_impl->port) +
           "/services/Assets";
}

std::string AssetsSimulator::RootURI() const { return m_impl->tree.RootURI(); }

bool AssetsSimulator::Exists(const std::string& uri) const {
    std::lock_guard<std::mutex> lock(m_impl->treeLock);
    return m_impl->tree.Exists(uri);
}

std::string AssetsSimulator::Snapshot() const {
    std::lock_guard<std::mutex> lock(m_impl->treeLock);
    return m_impl->tree.Snapshot();
}

size_t AssetsSimulator::RequestCount() const { return m_impl->service.RequestCount(); }

} // namespace assets_sim
