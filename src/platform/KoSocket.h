// The socket flags and shutdown modes the SOAP contexts and the simulator use
// (the runtime itself brings the socket functions), and the guard against
// SIGPIPE around writes that cannot ask for none.
#ifndef KO_SOCKET_H
#define KO_SOCKET_H

#include <errno.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <time.h>

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
