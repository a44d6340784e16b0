#include "ScriptedServer.h"

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>

#include "KoSocket.h"

namespace {

// How long a connection may stay silent before the server gives up on it.
const int kReadTimeoutMs = 30000;

std::string trim(const std::string& text) {
    size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return "";
    size_t end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

// Calls f(name, value) for each header line of the block.
template <class F>
void forEachHeader(const std::string& headers, F f) {
    size_t at = 0;
    while (at < headers.size()) {
        size_t end = headers.find("\r\n", at);
        if (end == std::string::npos) end = headers.size();
        std::string line = headers.substr(at, end - at);
        size_t colon = line.find(':');
        if (colon != std::string::npos) f(trim(line.substr(0, colon)), trim(line.substr(colon + 1)));
        at = end + 2;
    }
}

bool sameTextIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return tolower(static_cast<unsigned char>(x)) == tolower(static_cast<unsigned char>(y));
           });
}

void sendAll(KoSocketHandle fd, const char* data, size_t size) {
    while (size > 0) {
        int chunk = static_cast<int>(std::min<size_t>(size, 65536));
        long n = ::send(fd, data, chunk, MSG_NOSIGNAL);
        if (n <= 0) return; // the peer went away; that is the test's business
        data += n;
        size -= static_cast<size_t>(n);
    }
}

// Reads what arrives into buffer: the byte count, 0 at the peer's close, below
// 0 on failure.
long receive(KoSocketHandle fd, char* buffer, size_t size) {
    return ::recv(fd, buffer, static_cast<int>(std::min<size_t>(size, 65536)), 0);
}

// A socket bound to 127.0.0.1 on an ephemeral port, and that port (0 on
// failure).
uint16_t bindLoopback(KoSocketHandle fd) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return 0;
    return ntohs(address.sin_port);
}

std::string response(const std::string& body, size_t announced, int status, const std::string& contentType) {
    std::string head = "HTTP/1.1 " + std::to_string(status) + (status == 200 ? " OK" : " Error") +
                       "\r\nContent-Type: " + contentType +
                       "\r\nContent-Length: " + std::to_string(announced) + "\r\nConnection: close\r\n\r\n";
    return head + body;
}

} // namespace

ScriptedServer::Reply ScriptedServer::Reply::http(const std::string& body, int status,
                                                  const std::string& contentType) {
    Reply reply;
    reply.bytes = response(body, body.size(), status, contentType);
    return reply;
}

ScriptedServer::Reply ScriptedServer::Reply::chunked(const std::string& body, size_t piece) {
    Reply reply;
    reply.bytes =
        "HTTP/1.1 200 OK\r\nContent-Type: text/xml; charset=utf-8\r\nConnection: close\r\n"
        "Transfer-Encoding: chunked\r\n\r\n";
    for (size_t at = 0; at < body.size(); at += piece) {
        std::string part = body.substr(at, piece);
        char size[32];
        snprintf(size, sizeof size, "%zx\r\n", part.size());
        reply.bytes += size + part + "\r\n";
    }
    reply.bytes += "0\r\n\r\n";
    return reply;
}

ScriptedServer::Reply ScriptedServer::Reply::truncated(const std::string& body, size_t missing) {
    Reply reply;
    size_t sent = missing < body.size() ? body.size() - missing : 0;
    reply.bytes = response(body.substr(0, sent), body.size(), 200, "text/xml; charset=utf-8");
    return reply;
}

ScriptedServer::Reply ScriptedServer::Reply::oversized(const std::string& body, size_t surplus) {
    Reply reply;
    size_t announced = surplus < body.size() ? body.size() - surplus : 0;
    reply.bytes = response(body, announced, 200, "text/xml; charset=utf-8");
    return reply;
}

ScriptedServer::Reply ScriptedServer::Reply::closeBeforeReading() {
    Reply reply;
    reply.close = Close::BeforeReading;
    return reply;
}

ScriptedServer::Reply ScriptedServer::Reply::closeAfterReading() {
    Reply reply;
    reply.close = Close::AfterReading;
    return reply;
}

ScriptedServer::Reply ScriptedServer::Reply::stall(const std::string& bytes, bool beforeReading) {
    Reply reply;
    reply.bytes = bytes;
    reply.close = Close::Stall;
    reply.stallBeforeReading = beforeReading;
    return reply;
}

ScriptedServer::Reply ScriptedServer::Reply::trickle(const std::string& bytes, int intervalMs) {
    Reply reply;
    reply.bytes = bytes;
    reply.trickleMs = intervalMs;
    return reply;
}

std::string ScriptedServer::Request::header(const std::string& name) const {
    std::string found;
    bool done = false;
    forEachHeader(headers, [&](const std::string& n, const std::string& v) {
        if (!done && sameTextIgnoringCase(n, name)) {
            found = v;
            done = true;
        }
    });
    return found;
}

size_t ScriptedServer::Request::headerCount(const std::string& name) const {
    size_t count = 0;
    forEachHeader(headers, [&](const std::string& n, const std::string&) {
        if (sameTextIgnoringCase(n, name)) ++count;
    });
    return count;
}

ScriptedServer::ScriptedServer() {
    m_default = Reply::closeAfterReading();
    if (!KoSocketStartup()) throw std::runtime_error("sockets");
    m_listen = KoOpenSocket();
    if (m_listen == KO_INVALID_SOCKET || !KoSocketPair(m_wake)) {
        closeSockets();
        throw std::runtime_error("socket");
    }
    m_port = bindLoopback(m_listen);
    if (m_port == 0 || ::listen(m_listen, 16) != 0) {
        closeSockets();
        throw std::runtime_error("bind");
    }
    m_thread = std::thread([this] { serve(); });
}

ScriptedServer::~ScriptedServer() {
    char stop = 's';
    if (::send(m_wake[1], &stop, 1, MSG_NOSIGNAL) != 1) { /* the thread still ends at close */
    }
    m_thread.join();
    closeSockets();
}

void ScriptedServer::closeSockets() {
    for (KoSocketHandle* fd : {&m_listen, &m_wake[0], &m_wake[1]}) {
        if (*fd != KO_INVALID_SOCKET) KoCloseSocket(*fd);
        *fd = KO_INVALID_SOCKET;
    }
}

std::string ScriptedServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

void ScriptedServer::enqueue(Reply reply) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_queue.push_back(std::move(reply));
}

void ScriptedServer::setDefaultReply(Reply reply) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_default = std::move(reply);
}

void ScriptedServer::setRecording(bool on) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_recording = on;
}

std::vector<ScriptedServer::Request> ScriptedServer::requests() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

size_t ScriptedServer::connections() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_accepted;
}

bool ScriptedServer::waitForConnections(size_t count, int timeoutMs) const {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_done.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_finished >= count; });
}

void ScriptedServer::serve() {
    for (;;) {
        pollfd fds[2] = {{m_listen, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        if (KoPollSockets(fds, 2, -1) < 0) continue;
        if (fds[1].revents) return;
        if (!(fds[0].revents & POLLIN)) continue;
        KoSocketHandle fd = KoAcceptSocket(m_listen);
        if (fd == KO_INVALID_SOCKET) continue;
        Reply reply;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            ++m_accepted;
            if (m_queue.empty()) {
                reply = m_default;
            } else {
                reply = std::move(m_queue.front());
                m_queue.pop_front();
            }
        }
        handle(fd, reply);
        KoCloseSocket(fd);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            ++m_finished;
        }
        m_done.notify_all();
    }
}

void ScriptedServer::handle(KoSocketHandle fd, const Reply& reply) {
    if (reply.close == Reply::Close::BeforeReading) return;
    if (reply.close == Reply::Close::Stall && reply.stallBeforeReading) {
        waitForClose(fd);
        return;
    }
    bool keep;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        keep = m_recording;
    }
    if (reply.whenRequestArrives) {
        pollfd pfd = {fd, POLLIN, 0};
        KoPollSockets(&pfd, 1, kReadTimeoutMs);
        reply.whenRequestArrives();
    }
    Request request;
    bool complete = readRequest(fd, request, keep);
    if (keep) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_requests.push_back(std::move(request));
    }
    if (!complete || reply.close == Reply::Close::AfterReading) return;
    if (reply.delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(reply.delayMs));
    if (reply.trickleMs > 0) {
        for (size_t i = 0; i < reply.bytes.size(); ++i) {
            if (i > 0 && waitForClose(fd, reply.trickleMs)) return;
            sendAll(fd, reply.bytes.data() + i, 1);
        }
    } else {
        sendAll(fd, reply.bytes.data(), reply.bytes.size());
    }
    if (reply.close == Reply::Close::Stall) {
        waitForClose(fd);
        return;
    }
    ::shutdown(fd, SHUT_WR);
    // Let the client read everything before the close; stop at its close.
    char sink[4096];
    pollfd pfd = {fd, POLLIN, 0};
    while (KoPollSockets(&pfd, 1, kReadTimeoutMs) > 0 && receive(fd, sink, sizeof sink) > 0) {
    }
}

bool ScriptedServer::waitForClose(KoSocketHandle fd, int timeoutMs) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    char sink[4096];
    for (;;) {
        auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd fds[2] = {{fd, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        if (KoPollSockets(fds, 2, static_cast<int>(left.count())) <= 0) continue;
        if (fds[1].revents) return true; // the server stops
        if (fds[0].revents & (POLLHUP | POLLERR)) return true;
        if ((fds[0].revents & POLLIN) && receive(fd, sink, sizeof sink) <= 0) return true;
    }
}

bool ScriptedServer::readRequest(KoSocketHandle fd, Request& request, bool keep) {
    std::string& raw = request.raw;
    size_t headerEnd = std::string::npos;
    size_t bodyLength = 0;
    size_t total = 0; // bytes read, kept or not
    char buffer[65536];
    for (;;) {
        if (headerEnd != std::string::npos && total >= headerEnd + 4 + bodyLength) break;
        pollfd pfd = {fd, POLLIN, 0};
        if (KoPollSockets(&pfd, 1, kReadTimeoutMs) <= 0) return false;
        long n = receive(fd, buffer, sizeof buffer);
        if (n <= 0) return false;
        total += static_cast<size_t>(n);
        if (keep || headerEnd == std::string::npos) raw.append(buffer, static_cast<size_t>(n));
        if (headerEnd == std::string::npos) {
            headerEnd = raw.find("\r\n\r\n");
            if (headerEnd != std::string::npos) {
                size_t lineEnd = raw.find("\r\n");
                request.requestLine = raw.substr(0, lineEnd);
                request.headers = raw.substr(lineEnd + 2, headerEnd + 2 - (lineEnd + 2));
                std::string length = request.header("Content-Length");
                bodyLength = strtoul(length.c_str(), nullptr, 10);
            }
        }
    }
    if (keep) request.body = raw.substr(headerEnd + 4, bodyLength);
    return true;
}

uint16_t ScriptedServer::closedPort() {
    if (!KoSocketStartup()) return 0;
    KoSocketHandle fd = KoOpenSocket();
    if (fd == KO_INVALID_SOCKET) return 0;
    uint16_t port = bindLoopback(fd);
    KoCloseSocket(fd);
    return port;
}
