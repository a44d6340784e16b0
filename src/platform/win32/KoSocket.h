// The socket flags and shutdown modes the SOAP contexts and the simulator use
// (the runtime itself brings the socket functions), the guard against SIGPIPE
// around writes that cannot ask for none, and the few socket calls that differ
// between the platforms for code that uses sockets directly (the tests'
// scripted server): the handle type, opening, accepting, waiting, closing and
// a connected pair.
#ifndef KO_SOCKET_H
#define KO_SOCKET_H

#include <winsock2.h>
#include <ws2tcpip.h>

// A peer that closes the connection never raises a signal on Windows.
#ifndef MSG_NOSIGNAL
#define MSG_NOSIGNAL 0
#endif

// shutdown()'s ways, by their POSIX names.
#ifndef SHUT_RD
#define SHUT_RD SD_RECEIVE
#define SHUT_WR SD_SEND
#define SHUT_RDWR SD_BOTH
#endif

typedef SOCKET KoSocketHandle;
#define KO_INVALID_SOCKET INVALID_SOCKET

// Starts Windows Sockets for the process once (WSAStartup), for code that
// calls the socket functions before anything else has. Safe to call from any
// thread, any number of times; false if sockets are unavailable.
bool KoSocketStartup();

// A TCP socket over IPv4, not inherited by child processes.
KoSocketHandle KoOpenSocket();

// The next connection of a listening socket, not inherited by child processes.
KoSocketHandle KoAcceptSocket(KoSocketHandle listening);

inline int KoCloseSocket(KoSocketHandle socket) { return ::closesocket(socket); }

// poll() over sockets: the number of ready ones, 0 on time-out, -1 on failure.
inline int KoPollSockets(pollfd* sockets, unsigned count, int timeoutMs) {
    return ::WSAPoll(sockets, count, timeoutMs);
}

// Puts a socket in blocking or non-blocking mode.
inline void KoSetSocketBlocking(KoSocketHandle socket, bool blocking) {
    u_long nonBlocking = blocking ? 0 : 1;
    ::ioctlsocket(socket, FIONBIO, &nonBlocking);
}

// Whether a connect that fails on a non-blocking socket makes the socket
// writable, which is all the SOAP runtime's own connect routine waits for. It
// does not here: Windows reports the failure as an exception condition, so the
// runtime would learn of a refused connection only when its time-out ends.
inline bool KoFailedConnectIsWritable() { return false; }

// Waits up to timeoutMs (more than 0) for a connect begun on a non-blocking
// socket to end: 1 when connected, 0 when the time ran out, -1 when it failed,
// with the socket's error in *error (0 otherwise).
int KoWaitForConnect(KoSocketHandle socket, int timeoutMs, int* error);

// Two connected stream sockets (TCP over the loopback address: Windows has no
// socketpair), not inherited by child processes; false on failure.
bool KoSocketPair(KoSocketHandle pair[2]);

// Writes never raise a signal on Windows: nothing to guard.
class KoSigPipeGuard {
public:
    KoSigPipeGuard() {}
    KoSigPipeGuard(const KoSigPipeGuard&) = delete;
    KoSigPipeGuard& operator=(const KoSigPipeGuard&) = delete;
};

#endif // KO_SOCKET_H
