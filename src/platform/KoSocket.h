// The socket flags and shutdown modes the SOAP contexts and the simulator use
// (the runtime itself brings the socket functions), and the few socket calls
// that differ between the platforms for code that uses sockets directly (the
// tests' scripted server): the handle type, opening, accepting, waiting,
// closing and a connected pair.
#ifndef KO_SOCKET_H
#define KO_SOCKET_H

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
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

// Two connected stream sockets, not inherited by child processes; false on
// failure.
inline bool KoSocketPair(KoSocketHandle pair[2]) {
    return ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) == 0;
}

#endif // KO_SOCKET_H
