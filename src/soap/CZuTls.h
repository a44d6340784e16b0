// TLS on the runtime's contexts: the one-time set-up, a client's protocol and
// verification settings, a server's certificate and key, the server's
// handshake, and a user's words for a connection the client refused.
//
// Builds with TLS compile CZuTls.cpp (the runtime's OpenSSL support); builds
// without it CZuTls_None.cpp, where every set-up fails with SOAP_SSL_ERROR.
#ifndef CZU_TLS_H
#define CZU_TLS_H

#include <string>

struct soap;

class CZuTls {
public:
    // The runtime's TLS set-up, once per process, before the first context
    // is created; any thread may call it any number of times.
    static void Initialise();

    // A client context: TLS 1.2 or newer. With verify, the server's
    // certificate is checked against caFile (a PEM bundle; null or empty: the
    // system's store) and must name the host of the URL; without, neither is
    // checked. Both happen while connecting, before a byte of the request is
    // written. SOAP_OK or the runtime's code (a CA file it cannot read).
    static int SetUpClient(struct soap* soap, const char* caFile, bool verify);

    // A listening context: TLS 1.2 or newer with the certificate (chain) of
    // certFile and the private key of keyFile (PEM, no pass phrase); no
    // client certificate asked for. Its copies share what it sets up.
    // SOAP_OK or SOAP_SSL_ERROR with the runtime's fault set.
    static int SetUpServer(struct soap* soap, const char* certFile, const char* keyFile);

    // The handshake on an accepted connection's context; on failure the
    // connection is closed and the runtime's code returned.
    static int Accept(struct soap* soap);

    // Right after a client context's connection attempt failed, while its TLS
    // state is still there: why, in a user's words ("The server's certificate
    // has expired", "... is for another host ...", ...); empty when the
    // attempt failed before TLS began.
    static std::string Explain(struct soap* soap);
};

#endif // CZU_TLS_H
