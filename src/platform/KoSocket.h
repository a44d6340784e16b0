// The socket flags and shutdown modes the SOAP contexts and the simulator use
// (the runtime itself brings the socket functions).
#ifndef KO_SOCKET_H
#define KO_SOCKET_H

#include <sys/socket.h>

#endif // KO_SOCKET_H
