#include "AssetsSimulator.h"

#include <string.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "AssetTree.h"
#include "AssetsService.h"
#include "KoPlatform.h"
#include "KoSocket.h"
#include "stdsoap2.h"

namespace assets_sim {

namespace {

const int kBacklog = 64;
// The code page in which the credentials header hands over its texts.
const unsigned kUtf8CodePage = 65001;

} // namespace

class AssetsSimulator::Impl {
public:
    explicit Impl(Options options)
        : options(std::move(options)),
          service(tree, treeLock, this->options.users, this->options.maxRequestBytes) {}

    void Run() {
        KoSetThreadCodePage(kUtf8CodePage);
        while (!stopping.load()) {
            if (!soap_valid_socket(soap_accept(listener))) {
                if (stopping.load()) break;
                // A failed accept (the peer gave up, no descriptors left):
                // wait a moment rather than spin.
                soap_destroy(listener);
                soap_end(listener);
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
                continue;
            }
            std::string line = service.Serve(listener);
            if (options.log) options.log(line);
        }
    }

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
    std::thread thread;
};

AssetsSimulator::AssetsSimulator(Options options) : m_impl(std::make_unique<Impl>(std::move(options))) {}

AssetsSimulator::~AssetsSimulator() { Stop(); }

bool AssetsSimulator::Start(std::string* error) {
    Impl& impl = *m_impl;
    if (impl.thread.joinable()) return true;
    impl.listener = soap_new();
    if (!impl.listener) {
        if (error) *error = "out of memory";
        return false;
    }
    impl.service.Configure(impl.listener);
    if (!soap_valid_socket(soap_bind(impl.listener, impl.options.host.c_str(), impl.options.port, kBacklog))) {
        if (error) {
            const char* detail = soap_fault_detail(impl.listener);
            *error = "cannot listen on " + impl.options.host + ":" + std::to_string(impl.options.port) + ": " +
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
    impl.port = ntohs(address.ss_family == AF_INET6 ? reinterpret_cast<struct sockaddr_in6*>(&address)->sin6_port
                                                    : reinterpret_cast<struct sockaddr_in*>(&address)->sin_port);
    impl.stopping = false;
    impl.thread = std::thread([&impl] { impl.Run(); });
    return true;
}

void AssetsSimulator::Stop() {
    Impl& impl = *m_impl;
    if (!impl.thread.joinable()) return;
    impl.stopping = true;
    // Wakes the accept; a peer that stalls mid-request is cut off, a request
    // read whole is still answered.
    shutdown(impl.listenSocket, SHUT_RDWR);
    impl.service.Interrupt();
    impl.thread.join();
    impl.Release();
}

uint16_t AssetsSimulator::Port() const { return m_impl->port; }

std::string AssetsSimulator::ServiceURL() const {
    const std::string& host = m_impl->options.host;
    std::string authority = host.find(':') != std::string::npos ? "[" + host + "]" : host;
    return "http://" + authority + ":" + std::to_string(m_impl->port) + "/services/Assets";
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
