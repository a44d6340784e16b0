// The XML namespace table of the Assets service, for every SOAP context that
// talks to it.
#ifndef ZU_ASSETS_NAMESPACES_H
#define ZU_ASSETS_NAMESPACES_H

struct Namespace;

// Prefix, URI written, pattern also accepted when reading; in this order:
// SOAP-ENV and SOAP-ENC write SOAP 1.1 and also accept any dated W3C (SOAP 1.2)
// envelope and encoding namespace, xsi and xsd write the 2001 XML Schema
// namespaces and accept any dated W3C one, assets and types write the
// service's namespaces (base ZU_ASSETS_NS_BASE of the build) and accept any
// base with the paths /interplay/ws/assets and /interplay/ws/assets/types.
// The table ends with an empty row. It is also the runtime's default table
// (namespaces[]), which every new context starts with.
struct Namespace* ZuAssetsNamespaces();

// The namespaces written for the assets and types prefixes.
const char* ZuAssetsNamespace();
const char* ZuAssetsTypesNamespace();

#endif // ZU_ASSETS_NAMESPACES_H
