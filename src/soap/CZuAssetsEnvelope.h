// The parts of an Assets SOAP message outside the body: the credentials header
// and the detail of a fault. Their types are generated once, in the global
// namespace (ZuAssetsEnv), and a translation unit must not include that header
// together with a namespaced variant of the messages; so they are reached
// through here.
#ifndef CZU_ASSETS_ENVELOPE_H
#define CZU_ASSETS_ENVELOPE_H

#include <string>

struct soap;

class CZuAssetsEnvelope {
public:
    // Sets the context's SOAP header to one types:UserCredentials element with
    // copies of the user name and password (no mustUnderstand); header record
    // and credentials are allocated in the context. SOAP_OK, or SOAP_EOM.
    static int SetCredentials(struct soap* soap, const std::string& userName, const std::string& password);
    // The credentials of the header the context holds; false when it has none.
    static bool GetCredentials(struct soap* soap, std::string* userName, std::string* password);

    // Gives the context's fault a detail with one types:AssetsFaultType element.
    // SOAP_OK, or SOAP_EOM.
    static int SetFaultDetail(struct soap* soap, const std::string& code, const std::string& message,
                              const std::string& details);
    // The types:AssetsFaultType element of the fault the context holds; false
    // when it has none.
    static bool GetFaultDetail(struct soap* soap, std::string* code, std::string* message,
                               std::string* details);
};

#endif // CZU_ASSETS_ENVELOPE_H
