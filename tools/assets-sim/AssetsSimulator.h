// A stateful simulator of the Assets web service on a loopback port: folders
// and assets (files, headframes, attributes, locators) in memory, served over
// the same SOAP messages a real server speaks. Hosts and tests embed it; the
// assets-sim program runs it on its own.
//
// The workgroup's root is "interplay://Workgroup" with a folder "Projects" in
// it; what the operations do with it is told in AssetTree.h, how requests are
// answered (error lists, faults, the size bound, the time-outs) in
// AssetsService.h. Connections are served at once, each on a thread of a
// bounded pool, one request per connection; the tree's operations take turns.
#ifndef ASSETS_SIMULATOR_H
#define ASSETS_SIMULATOR_H

#include <stddef.h>
#include <stdint.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace assets_sim {

struct User {
    std::string name;
    std::string password;
};

struct Options {
    // Address and port to listen on; port 0 picks a free ephemeral port.
    std::string host = "127.0.0.1";
    uint16_t port = 0;
    // Accounts whose credentials are accepted.
    std::vector<User> users;
    // Requests whose body is declared longer are refused (HTTP 413) before
    // it is read; one that turns out longer than that is cut off.
    size_t maxRequestBytes = size_t(1) << 30;
    // Connections served at once (at least one); as many more wait, accepted,
    // for a thread, and the rest in the listening queue.
    unsigned threads = 8;
    // A connection on which no byte moves for idleTimeout, either way, is
    // cut off, and so is one still open requestDeadline after it is taken up
    // (its request read, handled and answered, or not); zero: none.
    std::chrono::milliseconds idleTimeout{std::chrono::seconds(30)};
    std::chrono::milliseconds requestDeadline{std::chrono::seconds(300)};
    // HTTPS when both are given: the server's certificate (PEM, its chain
    // after it) and its private key (PEM, no pass phrase); TLS 1.2 or newer.
    // Each connection's handshake runs on its serving thread, under the
    // connection's time-outs; one that fails is no request.
    std::string tlsCertificate;
    std::string tlsKey;
    // Called on a serving thread with one line per request served, e.g.
    // "2024-05-01T10:00:00Z editor CreateFolder interplay://Workgroup/x -> ok"
    // (UTC time, user, operation, URI, outcome; "-" for what is unknown); may
    // be empty. Passwords never appear in it. Never called by two threads at
    // once.
    std::function<void(const std::string& line)> log;
};

class AssetsSimulator {
public:
    explicit AssetsSimulator(Options options);
    // Stops serving.
    ~AssetsSimulator();
    AssetsSimulator(const AssetsSimulator&) = delete;
    AssetsSimulator& operator=(const AssetsSimulator&) = delete;

    // Binds the port and serves on background threads (true at once when it
    // serves already). False, with a reason in *error when given, if the
    // port cannot be bound or the certificate and key cannot be used.
    bool Start(std::string* error = nullptr);
    // Stops serving and waits for the requests in progress: peers that stall
    // mid-request are cut off at once, responses that are not out within a
    // moment too; the tree stays, and Start serves it again.
    void Stop();

    uint16_t Port() const;
    // "http://<host>:<port>/services/Assets" ("https://" with TLS)
    std::string ServiceURL() const;
    // URI of the root folder of the simulated workgroup, without a trailing
    // slash, e.g. "interplay://Workgroup".
    std::string RootURI() const;

    // For tests, from any thread: whether a folder or asset exists at the URI
    // (a path or an asset URI), and how many requests arrived (counted once
    // their HTTP headers are read, before they are answered).
    bool Exists(const std::string& uri) const;
    size_t RequestCount() const;
    // For tests: a text that differs whenever the tree differs in anything a
    // client can see or change.
    std::string Snapshot() const;

private:
    class Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace assets_sim

#endif // ASSETS_SIMULATOR_H
