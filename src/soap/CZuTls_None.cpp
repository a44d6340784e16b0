// CZuTls in a build without TLS: nothing can be set up.
#include "CZuTls.h"

#include <stdsoap2.h>

namespace {

const char kNoTls[] = "This build has no TLS support";

} // namespace

void CZuTls::Initialise() {}

int CZuTls::SetUpClient(struct soap* soap, const char*, bool) {
    return soap_set_sender_error(soap, "SSL/TLS error", kNoTls, SOAP_SSL_ERROR);
}

int CZuTls::SetUpServer(struct soap* soap, const char*, const char*) {
    return soap_set_receiver_error(soap, "SSL/TLS error", kNoTls, SOAP_SSL_ERROR);
}

int CZuTls::Accept(struct soap* soap) {
    soap_closesock(soap);
    return soap_set_receiver_error(soap, "SSL/TLS error", kNoTls, SOAP_SSL_ERROR);
}

std::string CZuTls::Explain(struct soap*) { return std::string(); }
