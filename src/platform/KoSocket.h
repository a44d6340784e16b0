// The socket flags and shutdown modes the SOAP contexts and the simulator use
// (the runtime itself brings the socket functions), the guard against SIGPIPE
// around writes that cannot ask for none, and the few socket calls that differ
// between the platforms for code that uses sockets directly (the tests'
// scripted server): the handle type, opening, accepting, waiting, closing and
// a connected pair.
#ifndef KO_SOCKET_H
#define KO_SOCKET_H

#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

typedef int KoSocketHandle;
#define KO_INVALID_SOCKET (-1)

// Makes sockets usable in this process (nothing to do here). Safe to call
// from any thread, any number of times; false if sockets are unavailable.
inline bool KoSocketStartup() { return true; }

// A TCP socket over IPv4, not inherited by child processes.
inline KoSocketHandle KoOpenSocket() { return ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0); }

// The next connection of a listening socket, not inherited by child processes.
inline KoSocketHandle KoAcceptSocket(KoSocketHandle listening) {
    return ::accept4(listening, nullptr, nullptr, SOCK_CLOEXEC);
}

inline int KoCloseSocket(KoSocketHandle socket) { return ::close(socket); }

// poll() over sockets: the number of ready ones, 0 on time-out, -1 on failure.
inline int KoPollSockets(pollfd* sockets, unsigned count, int timeoutMs) {
    return ::poll(sockets, count, timeoutMs);
}

// Puts a socket in blocking or non-blocking mode.
inline void KoSetSocketBlocking(KoSocketHandle socket, bool blocking) {
    int flags = ::fcntl(socket, F_GETFL, 0);
    if (flags != -1) ::fcntl(socket, F_SETFL, blocking ? flags & ~O_NONBLOCK : flags | O_NONBLOCK);
}

// Whether a connect that fails on a non-blocking socket makes the socket
// writable, which is all the SOAP runtime's own connect routine waits for. It
// does here: a refused connection is known at once.
inline bool KoFailedConnectIsWritable() { return true; }

// Waits up to timeoutMs (more than 0) for a connect begun on a non-blocking
// socket to end: 1 when connected, 0 when the time ran out, -1 when it failed,
// with the socket's error in *error (0 otherwise).
inline int KoWaitForConnect(KoSocketHandle socket, int timeoutMs, int* error) {
    *error = 0;
    struct timespec start;
    clock_gettime(CLOCK_MONOTONIC, &start);
    for (int left = timeoutMs;;) {
        pollfd entry = {socket, POLLOUT, 0};
        int ready = ::poll(&entry, 1, left);
        if (ready > 0) break;
        if (ready == 0) return 0;
        if (errno != EINTR) {
            *error = errno;
            return -1;
        }
        struct timespec now;
        clock_gettime(CLOCK_MONOTONIC, &now);
        long long waited = (now.tv_sec - start.tv_sec) * 1000LL + (now.tv_nsec - start.tv_nsec) / 1000000;
        if (waited >= timeoutMs) return 0;
        left = static_cast<int>(timeoutMs - waited);
    }
    socklen_t length = sizeof *error;
    if (::getsockopt(socket, SOL_SOCKET, SO_ERROR, error, &length) != 0) *error = errno;
    return *error ? -1 : 1;
}

// Two connected stream sockets, not inherited by child processes; false on
// failure.
inline bool KoSocketPair(KoSocketHandle pair[2]) {
    return ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) == 0;
}

// Blocks SIGPIPE on the calling thread while it lives, so that a write to a
// connection the peer closed that cannot pass MSG_NOSIGNAL (the TLS library's)
// fails with EPIPE instead of ending the process. A SIGPIPE raised meanwhile
// is taken off the thread before its old signal mask comes back.
class KoSigPipeGuard {
public:
    KoSigPipeGuard() {
        sigemptyset(&m_pipe);
        sigaddset(&m_pipe, SIGPIPE);
        sigset_t pending;
        sigemptyset(&pending);
        m_wasPending = sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1;
        m_blocked = pthread_sigmask(SIG_BLOCK, &m_pipe, &m_old) == 0;
    }
    ~KoSigPipeGuard() {
        if (!m_blocked) return;
        if (!m_wasPending) {
            int saved = errno;
            struct timespec none = {0, 0};
            while (sigtimedwait(&m_pipe, nullptr, &none) == -1 && errno == EINTR) {
            }
            errno = saved;
        }
        pthread_sigmask(SIG_SETMASK, &m_old, nullptr);
    }
    KoSigPipeGuard(const KoSigPipeGuard&) = delete;
    KoSigPipeGuard& operator=(const KoSigPipeGuard&) = delete;

private:
    sigset_t m_pipe, m_old;
    bool m_wasPending = false;
    bool m_blocked = false;
};

#endif // KO_SOCKET_H
