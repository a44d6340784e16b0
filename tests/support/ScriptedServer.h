// A scripted HTTP peer for wire tests: listens on 127.0.0.1 (ephemeral port),
// serves one connection at a time on a background thread, records each request
// exactly as it arrived and answers it with canned bytes.
//
// Each connection takes the next queued reply, or the default reply when the
// queue is empty. A request is read up to the end of its headers and then as
// many body bytes as its Content-Length says (none without one).
#ifndef ZU_TEST_SCRIPTED_SERVER_H
#define ZU_TEST_SCRIPTED_SERVER_H

#include <stddef.h>
#include <stdint.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "KoSocket.h"

class ScriptedServer {
public:
    struct Reply {
        enum class Close {
            AfterReply,    // answer, then close the connection
            BeforeReading, // close as soon as the connection is accepted
            AfterReading,  // read the request, then close without answering
            Stall,         // send the bytes (after reading the request unless
                           // stallBeforeReading), then wait for the client to close
        };
        // Sent as they are: status line, headers and body.
        std::string bytes;
        // Wait this long after reading the request, before answering.
        int delayMs = 0;
        Close close = Close::AfterReply;
        // Send the bytes one at a time, this long apart.
        int trickleMs = 0;
        // With Close::Stall: do not read the request first.
        bool stallBeforeReading = false;
        // Called on the serving thread once the request's first bytes have
        // arrived, before any is read.
        std::function<void()> whenRequestArrives;

        // "HTTP/1.1 <status>" with Content-Type, a correct Content-Length and
        // Connection: close, then the body.
        static Reply http(const std::string& body, int status = 200,
                          const std::string& contentType = "text/xml; charset=utf-8");
        // "HTTP/1.1 200" with Transfer-Encoding: chunked and no length, the
        // body in chunks of at most piece bytes.
        static Reply chunked(const std::string& body, size_t piece);
        // Announces the whole body but sends only its first bytes - missing.
        static Reply truncated(const std::string& body, size_t missing);
        // Announces the body's length - surplus but sends all of it.
        static Reply oversized(const std::string& body, size_t surplus);
        static Reply closeBeforeReading();
        static Reply closeAfterReading();
        // Hung peers: sends bytes (none: accepts and never answers) and then
        // nothing more, holding the connection until the client closes it.
        static Reply stall(const std::string& bytes = "", bool beforeReading = false);
        // Sends the bytes one at a time, intervalMs apart, then closes.
        static Reply trickle(const std::string& bytes, int intervalMs);
    };

    struct Request {
        std::string raw;         // every byte read, in order
        std::string requestLine; // without CR LF
        std::string headers;     // the header lines, each ending with CR LF
        std::string body;
        // The value of the first header of that name (case-insensitive), without
        // surrounding blanks; "" when absent.
        std::string header(const std::string& name) const;
        // How many headers of that name there are.
        size_t headerCount(const std::string& name) const;
    };

    // Binds and starts serving; the default reply closes after reading.
    ScriptedServer();
    // Stops serving and joins the thread.
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    uint16_t port() const { return m_port; }
    // A loopback port on which nothing listens (bound, read and released).
    static uint16_t closedPort();
    // "http://127.0.0.1:<port><path>"
    std::string url(const std::string& path = "/services/Assets") const;

    void enqueue(Reply reply);
    void setDefaultReply(Reply reply);
    // Whether requests are kept (on by default); off, they are read and
    // counted only, for long runs with large requests.
    void setRecording(bool on);

    std::vector<Request> requests() const;
    // Connections accepted so far.
    size_t connections() const;
    // Waits until that many connections were served to their end (closed).
    bool waitForConnections(size_t count, int timeoutMs = 10000) const;

private:
    void serve();
    void handle(KoSocketHandle fd, const Reply& reply);
    bool readRequest(KoSocketHandle fd, Request& request, bool keep);
    // Waits until the client closes the connection (true) or the server
    // stops (true) or timeoutMs pass (false); what arrives is dropped.
    bool waitForClose(KoSocketHandle fd, int timeoutMs = 30000);
    void closeSockets();

    KoSocketHandle m_listen = KO_INVALID_SOCKET;
    // Written to by the destructor to stop the serving thread.
    KoSocketHandle m_wake[2] = {KO_INVALID_SOCKET, KO_INVALID_SOCKET};
    uint16_t m_port = 0;
    std::thread m_thread;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_done;
    std::deque<Reply> m_queue;
    Reply m_default;
    bool m_recording = true;
    std::vector<Request> m_requests;
    size_t m_accepted = 0;
    size_t m_finished = 0;
};

#endif // ZU_TEST_SCRIPTED_SERVER_H
