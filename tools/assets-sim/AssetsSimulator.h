// A stateful simulator of the Assets web service on a loopback port: folders
// and assets (files, headframes, attributes, locators) in memory, served over
// the same SOAP messages a real server speaks. Hosts and tests embed it; the
// assets-sim program runs it on its own.
#ifndef ASSETS_SIMULATOR_H
#define ASSETS_SIMULATOR_H

#include <stddef.h>
#include <stdint.h>

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
    // Requests above this size are refused.
    size_t maxRequestBytes = size_t(1) << 30;
    // Called with one line per request served; may be empty.
    std::function<void(const std::string& line)> log;
};

class AssetsSimulator {
public:
    explicit AssetsSimulator(Options options);
    // Stops serving.
    ~AssetsSimulator();
    AssetsSimulator(const AssetsSimulator&) = delete;
    AssetsSimulator& operator=(const AssetsSimulator&) = delete;

    // Binds the port and serves on a background thread. False, with a reason
    // in *error when given, if the port cannot be bound.
    bool Start(std::string* error = nullptr);
    // Stops serving and waits for the request in progress; the tree stays.
    void Stop();

    uint16_t Port() const;
    // "http://<host>:<port>/services/Assets"
    std::string ServiceURL() const;
    // URI of the root folder of the simulated workgroup, without a trailing
    // slash, e.g. "interplay://Workgroup".
    std::string RootURI() const;

    // For tests: whether a folder or asset exists at the URI, and how many
    // requests were served.
    bool Exists(const std::string& uri) const;
    size_t RequestCount() const;

private:
    class Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace assets_sim

#endif // ASSETS_SIMULATOR_H
