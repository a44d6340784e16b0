// CZuTls on the runtime's OpenSSL support.
#include "CZuTls.h"

#include <stdlib.h>

#include <stdsoap2.h>

#include <mutex>

namespace {

// TLS 1.2 and 1.3; older versions are refused.
const unsigned short kVersions = SOAP_TLSv1_2 | SOAP_TLSv1_3;

// A user's words for a verification result other than X509_V_OK.
std::string VerifyWords(long result, const char* host) {
    switch (result) {
    case X509_V_ERR_CERT_HAS_EXPIRED:
        return "The server's certificate has expired";
    case X509_V_ERR_CERT_NOT_YET_VALID:
        return "The server's certificate is not valid yet";
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
    case X509_V_ERR_CERT_UNTRUSTED:
        return "The server's certificate is not trusted: its issuer is unknown (not among the trusted "
               "certificates)";
    case X509_V_ERR_HOSTNAME_MISMATCH:
    case X509_V_ERR_IP_ADDRESS_MISMATCH:
        return std::string("The server's certificate is for another host, not ") + host;
    case X509_V_ERR_CERT_REVOKED:
        return "The server's certificate has been revoked";
    default:
        return std::string("The server's certificate could not be verified: ") +
               X509_verify_cert_error_string(result);
    }
}

} // namespace

void CZuTls::Initialise() {
    // The runtime sets itself up on its first context, unguarded: done once
    // here before any context, no thread ever finds it half done.
    static std::once_flag once;
    std::call_once(once, [] { soap_ssl_init(); });
}

int CZuTls::SetUpClient(struct soap* soap, const char* caFile, bool verify) {
    Initialise();
    if (!verify)
        return soap_ssl_client_context(soap,
                                       kVersions | SOAP_SSL_NO_AUTHENTICATION | SOAP_SSL_NO_DEFAULT_CA_PATH,
                                       nullptr, nullptr, nullptr, nullptr, nullptr);
    // SOAP_SSL_DEFAULT: the certificate verified and the host name checked.
    // A CA file given replaces the system's store. The store is OpenSSL's
    // folder of certificates by their hashes, which it reads a certificate at
    // a time as verification asks: its default bundle file (read whole for
    // every context, some 60 ms) is left out.
    bool ownCa = caFile && *caFile;
    const char* folder = nullptr;
    if (!ownCa) {
        folder = getenv(X509_get_default_cert_dir_env());
        if (!folder || !*folder) folder = X509_get_default_cert_dir();
    }
    unsigned short flags = kVersions | SOAP_SSL_DEFAULT | SOAP_SSL_NO_DEFAULT_CA_PATH;
    return soap_ssl_client_context(soap, flags, nullptr, nullptr, ownCa ? caFile : nullptr, folder, nullptr);
}

int CZuTls::SetUpServer(struct soap* soap, const char* certFile, const char* keyFile) {
    Initialise();
    // The runtime reads certificate and key from one file; they are loaded
    // into its context here instead.
    unsigned short flags = kVersions | SOAP_SSL_NO_AUTHENTICATION | SOAP_SSL_NO_DEFAULT_CA_PATH;
    int code =
        soap_ssl_server_context(soap, flags, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    if (code != SOAP_OK) return code;
    if (SSL_CTX_use_certificate_chain_file(soap->ctx, certFile) != 1)
        return soap_set_receiver_error(soap, "SSL/TLS error", "Can't read the certificate PEM file",
                                       SOAP_SSL_ERROR);
    if (SSL_CTX_use_PrivateKey_file(soap->ctx, keyFile, SSL_FILETYPE_PEM) != 1 ||
        SSL_CTX_check_private_key(soap->ctx) != 1)
        return soap_set_receiver_error(
            soap, "SSL/TLS error",
            "Can't read the private key PEM file, or it does not match the certificate", SOAP_SSL_ERROR);
    return SOAP_OK;
}

int CZuTls::Accept(struct soap* soap) { return soap_ssl_accept(soap); }

std::string CZuTls::Explain(struct soap* soap) {
    if (!soap->ssl) return std::string();
    if (soap->ssl_flags & SOAP_SSL_REQUIRE_SERVER_AUTHENTICATION) {
        long result = SSL_get_verify_result(soap->ssl);
        if (result != X509_V_OK) return VerifyWords(result, soap->host);
        // Verified, yet refused: the runtime's check of the host name, which
        // follows the handshake, is all that is left.
        if (SSL_is_init_finished(soap->ssl))
            return std::string("The server's certificate is for another host, not ") + soap->host;
    }
    return "The secure connection (TLS) with the server could not be set up";
}
