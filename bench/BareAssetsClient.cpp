#include "BareAssetsClient.h"

#include <sys/socket.h>

#include "CZuAssetsEnvelope.h"
#include "ZuAssetsNamespaces.h"
#include "ZuAssetsPlainH.h"

using namespace ZuAssetsPlain;

namespace {

struct soap* NewContext(int mode) {
    struct soap* soap = soap_new1(mode);
    soap_set_namespaces(soap, ZuAssetsNamespaces());
    soap->socket_flags = MSG_NOSIGNAL;
    CZuAssetsEnvelope::SetCredentials(soap, "user", "secret");
    return soap;
}

void FreeContext(struct soap* soap) {
    soap_destroy(soap);
    soap_end(soap);
    soap_free(soap);
}

} // namespace

namespace bare {

int DefaultMode() { return SOAP_C_UTFSTRING; }
int ModuleMode() { return SOAP_C_UTFSTRING | SOAP_XML_TREE; }

int CheckInAAF(const std::string& url, unsigned char* file, int size, int mode) {
    struct soap* soap = NewContext(mode);
    types__CheckInAAFType request;
    request.InterplayURI = "interplay://WG/Bench/clip.aaf";
    request.AAF.__ptr = file;
    request.AAF.__size = size;
    types__CheckInAAFResponseType response;
    int code = soap_call___assets__CheckInAAF(soap, url.c_str(), "", &request, &response);
    FreeContext(soap);
    return code;
}

namespace {

// Counts the assets of a listing and the bytes of every string they carry.
template <class Response>
void ReadListing(int code, const Response& response, size_t* assets, size_t* textBytes) {
    *assets = 0;
    *textBytes = 0;
    if (code != SOAP_OK || !response.Results) return;
    for (const types__AssetDescriptionType* asset : response.Results->AssetDescription) {
        ++*assets;
        *textBytes += asset->InterplayURI.size();
        if (!asset->Attributes) continue;
        for (const types__AttributeType* attribute : asset->Attributes->Attribute)
            *textBytes += attribute->Group.size() + attribute->Name.size() + attribute->__item.size();
    }
}

} // namespace

int GetChildren(const std::string& url, size_t* assets, size_t* textBytes, int mode) {
    struct soap* soap = NewContext(mode);
    types__GetChildrenType request;
    request.InterplayURI = "interplay://WG/Bench";
    bool yes = true;
    request.IncludeFolders = &yes;
    request.IncludeFiles = &yes;
    request.IncludeMOBs = &yes;
    types__GetChildrenResponseType response;
    int code = soap_call___assets__GetChildren(soap, url.c_str(), "", &request, &response);
    ReadListing(code, response, assets, textBytes);
    FreeContext(soap);
    return code;
}

int Search(const std::string& url, size_t* assets, size_t* textBytes, int mode) {
    struct soap* soap = NewContext(mode);
    types__SearchType request;
    request.InterplayPathURI = "interplay://WG/Bench";
    int maxResults = 5000;
    request.MaxResults = &maxResults;
    types__SearchGroupType group;
    group.Operator = "AND";
    request.SearchGroup = &group;
    types__SearchResponseType response;
    int code = soap_call___assets__Search(soap, url.c_str(), "", &request, &response);
    ReadListing(code, response, assets, textBytes);
    FreeContext(soap);
    return code;
}

} // namespace bare
