// The socket calls of the platform seam over Windows Sockets.
#include "KoSocket.h"

#include <windows.h>

namespace {

// Sockets are handles, inherited by child processes unless told otherwise.
KoSocketHandle NotInherited(KoSocketHandle socket) {
    if (socket != KO_INVALID_SOCKET)
        SetHandleInformation(reinterpret_cast<HANDLE>(socket), HANDLE_FLAG_INHERIT, 0);
    return socket;
}

} // namespace

bool KoSocketStartup() {
    // Never cleaned up: the process may use sockets up to its end.
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

KoSocketHandle KoOpenSocket() {
    if (!KoSocketStartup()) return KO_INVALID_SOCKET;
    return NotInherited(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
}

KoSocketHandle KoAcceptSocket(KoSocketHandle listening) {
    return NotInherited(::accept(listening, nullptr, nullptr));
}

int KoWaitForConnect(KoSocketHandle socket, int timeoutMs, int* error) {
    *error = 0;
    fd_set writable, failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(socket, &writable);
    FD_SET(socket, &failed);
    timeval wait;
    wait.tv_sec = timeoutMs / 1000;
    wait.tv_usec = (timeoutMs % 1000) * 1000;
    // The first argument is ignored here.
    int ready = ::select(0, nullptr, &writable, &failed, &wait);
    if (ready == 0) return 0;
    if (ready < 0) {
        *error = WSAGetLastError();
        return -1;
    }
    int length = sizeof *error;
    if (::getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(error), &length) != 0)
        *error = WSAGetLastError();
    // A failure the socket no longer names is still a failure.
    if (!*error && FD_ISSET(socket, &failed)) *error = WSAENOTCONN;
    return *error ? -1 : 1;
}

bool KoSocketPair(KoSocketHandle pair[2]) {
    pair[0] = pair[1] = KO_INVALID_SOCKET;
    KoSocketHandle listening = KoOpenSocket();
    if (listening == KO_INVALID_SOCKET) return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    bool ok = ::bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
              ::listen(listening, 1) == 0 &&
              ::getsockname(listening, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    if (ok) pair[0] = KoOpenSocket();
    ok = ok && pair[0] != KO_INVALID_SOCKET &&
         ::connect(pair[0], reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (ok) pair[1] = KoAcceptSocket(listening);
    ::closesocket(listening);
    // The accepted connection must be the one just made, not another
    // process's that came first.
    sockaddr_in mine{}, peer{};
    int mineLength = sizeof mine, peerLength = sizeof peer;
    if (ok && pair[1] != KO_INVALID_SOCKET &&
        ::getsockname(pair[0], reinterpret_cast<sockaddr*>(&mine), &mineLength) == 0 &&
        ::getpeername(pair[1], reinterpret_cast<sockaddr*>(&peer), &peerLength) == 0 &&
        mine.sin_port == peer.sin_port && mine.sin_addr.s_addr == peer.sin_addr.s_addr)
        return true;
    if (pair[0] != KO_INVALID_SOCKET) ::closesocket(pair[0]);
    if (pair[1] != KO_INVALID_SOCKET) ::closesocket(pair[1]);
    pair[0] = KO_INVALID_SOCKET;
    pair[1] = KO_INVALID_SOCKET;
    return false;
}
