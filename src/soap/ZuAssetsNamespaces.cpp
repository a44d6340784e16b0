#include "ZuAssetsNamespaces.h"

#include "ZuAssetsConfig.h"
#include "stdsoap2.h"

// The runtime's default table, linked by this name (hidden, like the runtime).
struct Namespace namespaces[] = {
    {"SOAP-ENV", "http://schemas.xmlsoap.org/soap/envelope/", "http://www.w3.org/*/soap-envelope", nullptr},
    {"SOAP-ENC", "http://schemas.xmlsoap.org/soap/encoding/", "http://www.w3.org/*/soap-encoding", nullptr},
    {"xsi", "http://www.w3.org/2001/XMLSchema-instance", "http://www.w3.org/*/XMLSchema-instance", nullptr},
    {"xsd", "http://www.w3.org/2001/XMLSchema", "http://www.w3.org/*/XMLSchema", nullptr},
    {"assets", ZU_ASSETS_NS_BASE "/interplay/ws/assets", "*/interplay/ws/assets", nullptr},
    {"types", ZU_ASSETS_NS_BASE "/interplay/ws/assets/types", "*/interplay/ws/assets/types", nullptr},
    {nullptr, nullptr, nullptr, nullptr},
};

struct Namespace* ZuAssetsNamespaces() {
    return namespaces;
}
const char* ZuAssetsNamespace() { return namespaces[4].ns; }
const char* ZuAssetsTypesNamespace() { return namespaces[5].ns; }
