#include "AssetsPortBinding.h"

#include <string.h>

#include "CZuAssetsEnvelope.h"
#include "KoSocket.h"
#include "ZuAssetsNamespaces.h"

AssetsPortBinding::AssetsPortBinding() : soap(soap_new1(CONTEXT_MODE)), endpoint(nullptr) {
    if (!soap) return;
    soap_set_namespaces(soap, ZuAssetsNamespaces());
    soap->socket_flags = MSG_NOSIGNAL;
}

AssetsPortBinding::~AssetsPortBinding() {
    if (!soap) return;
    soap_destroy(soap);
    soap_end(soap);
    soap_free(soap);
}

int AssetsPortBinding::SetCredentials(const std::string& userName, const std::string& password) {
    if (!soap) return SOAP_EOM;
    return CZuAssetsEnvelope::SetCredentials(soap, userName, password);
}

namespace {

// The runtime's code for the fault the context read. The runtime maps the
// standard fault codes only when the response binds them to the prefix
// SOAP-ENV itself; by then it has read every fault code into that prefix, so
// the mapping is made here again for any prefix the server chose.
int FaultResult(struct soap* soap) {
    const char** code = soap_faultcode(soap);
    if (!code || !*code) return SOAP_FAULT;
    const char* name = *code;
    if (strncmp(name, "SOAP-ENV:", 9) != 0) return SOAP_FAULT;
    name += 9;
    if (!strcmp(name, "Client") || !strcmp(name, "Sender")) return SOAP_CLI_FAULT;
    if (!strcmp(name, "Server") || !strcmp(name, "Receiver")) return SOAP_SVR_FAULT;
    if (!strcmp(name, "MustUnderstand")) return SOAP_MUSTUNDERSTAND;
    if (!strcmp(name, "VersionMismatch")) return SOAP_VERSIONMISMATCH;
    return SOAP_FAULT;
}

} // namespace

template <class Request, class Response>
int AssetsPortBinding::Call(int (*call)(struct soap*, const char*, const char*, Request*, Response*),
                            Request* request, Response* response) {
    if (!soap) return SOAP_EOM;
    if (endpoint && !*endpoint)
        return soap_set_sender_error(soap, "Empty endpoint", "The service URL is empty",
                                     SOAP_TCP_ERROR);
    int code = call(soap, endpoint, "", request, response);
    if (code == SOAP_FAULT) code = soap->error = FaultResult(soap);
    return code;
}

// One forwarder per operation of the table.
#define ZU_ASSETS_DEFINE_OPERATION(Operation, Request, Response)                  \
    int AssetsPortBinding::__assets__##Operation(ZuAssets::types__##Request* request, \
                                                 ZuAssets::types__##Response* response) { \
        return Call(ZuAssets::soap_call___assets__##Operation, request, response);  \
    }
ZU_ASSETS_OPERATIONS(ZU_ASSETS_DEFINE_OPERATION)
#undef ZU_ASSETS_DEFINE_OPERATION
