// The socket flags and shutdown modes the SOAP contexts and the simulator use
// (the runtime itself brings the socket functions), and the guard against
// SIGPIPE around writes that cannot ask for none.
#ifndef KO_SOCKET_H
#define KO_SOCKET_H

#include <winsock2.h>

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

// Writes never raise a signal on Windows: nothing to guard.
class KoSigPipeGuard {
public:
    KoSigPipeGuard() {}
    KoSigPipeGuard(const KoSigPipeGuard&) = delete;
    KoSigPipeGuard& operator=(const KoSigPipeGuard&) = delete;
};

#endif // KO_SOCKET_H
