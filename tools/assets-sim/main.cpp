// assets-sim: the Assets service simulator on its own. Serves (HTTP, or HTTPS
// with --tls-cert and --tls-key) until SIGINT or SIGTERM and writes one line
// per request to standard output.
#include <signal.h>
#include <stdio.h>

#include <CLI/CLI.hpp>

#include "AssetsSimulator.h"
#include "ZuVersion.h"

int main(int argc, char** argv) {
    assets_sim::Options options;
    std::vector<std::string> users;
    CLI::App app{"assets-sim: a simulator of the Assets web service with its folders and assets in memory."};
    app.set_version_flag("--version", std::string("assets-sim ") + ZU_VERSION_STRING);
    app.add_option("--host", options.host, "address to listen on")->capture_default_str();
    app.add_option("--port", options.port, "port to listen on; 0 picks a free one")->capture_default_str();
    app.add_option("--user", users, "an account, NAME:PASSWORD (repeatable)")
        ->required()
        ->check([](const std::string& text) {
            return text.find(':') == std::string::npos || text.front() == ':'
                       ? std::string("expected NAME:PASSWORD, got ") + text
                       : std::string();
        });
    app.add_option("--max-request-bytes", options.maxRequestBytes, "largest request accepted")
        ->capture_default_str();
    app.add_option("--threads", options.threads, "connections served at once")
        ->capture_default_str()
        ->check(CLI::Range(1u, 1024u));
    unsigned idleSeconds = static_cast<unsigned>(options.idleTimeout.count() / 1000);
    unsigned deadlineSeconds = static_cast<unsigned>(options.requestDeadline.count() / 1000);
    app.add_option("--idle-timeout", idleSeconds,
                   "seconds without a byte moving after which a connection is cut off; 0: never")
        ->capture_default_str();
    app.add_option("--request-deadline", deadlineSeconds,
                   "seconds after which a connection still being served is cut off; 0: never")
        ->capture_default_str();
    CLI::Option* tlsCert = app.add_option("--tls-cert", options.tlsCertificate,
                                          "serve HTTPS with this certificate (PEM, its chain after it)")
                               ->check(CLI::ExistingFile);
    CLI::Option* tlsKey =
        app.add_option("--tls-key", options.tlsKey, "the certificate's private key (PEM, no pass phrase)")
            ->check(CLI::ExistingFile);
    tlsCert->needs(tlsKey);
    tlsKey->needs(tlsCert);
    CLI11_PARSE(app, argc, argv);
    options.idleTimeout = std::chrono::seconds(idleSeconds);
    options.requestDeadline = std::chrono::seconds(deadlineSeconds);
    for (const std::string& text : users) {
        size_t colon = text.find(':');
        options.users.push_back({text.substr(0, colon), text.substr(colon + 1)});
    }
    options.log = [](const std::string& line) {
        printf("%s\n", line.c_str());
        fflush(stdout);
    };

    // The serving threads inherit the blocked signals; this thread waits for them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    assets_sim::AssetsSimulator simulator(options);
    std::string error;
    if (!simulator.Start(&error)) {
        fprintf(stderr, "assets-sim: %s\n", error.c_str());
        return 1;
    }
    printf("assets-sim: serving %s, root folder %s\n", simulator.ServiceURL().c_str(),
           simulator.RootURI().c_str());
    fflush(stdout);
    int received = 0;
    sigwait(&signals, &received);
    simulator.Stop();
    printf("assets-sim: stopped after %zu requests\n", simulator.RequestCount());
    return 0;
}
