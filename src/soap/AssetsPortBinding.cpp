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

int AssetsPortBinding::__assets__GetStreamingURL(ZuAssets::types__GetStreamingURLType* request,
    ZuAssets::types__GetStreamingURLResponseType* response) {
    return Call(ZuAssets::soap_call___assets__GetStreamingURL, request, response);
}

int AssetsPortBinding::__assets__AddReservation(ZuAssets::types__AddReservationType* request,
    ZuAssets::types__AddReservationResponseType* response) {
    return Call(ZuAssets::soap_call___assets__AddReservation, request, response);
}

int AssetsPortBinding::__assets__AddRestrictions(ZuAssets::types__AddRestrictionsType* request,
    ZuAssets::types__AddRestrictionsResponseType* response) {
    return Call(ZuAssets::soap_call___assets__AddRestrictions, request, response);
}

int AssetsPortBinding::__assets__CheckIn(ZuAssets::types__CheckInType* request,
    ZuAssets::types__CheckInResponseType* response) {
    return Call(ZuAssets::soap_call___assets__CheckIn, request, response);
}

int AssetsPortBinding::__assets__CheckInAAF(ZuAssets::types__CheckInAAFType* request,
    ZuAssets::types__CheckInAAFResponseType* response) {
    return Call(ZuAssets::soap_call___assets__CheckInAAF, request, response);
}

int AssetsPortBinding::__assets__CreateFolder(ZuAssets::types__CreateFolderType* request,
    ZuAssets::types__CreateFolderResponseType* response) {
    return Call(ZuAssets::soap_call___assets__CreateFolder, request, response);
}

int AssetsPortBinding::__assets__CreateFolders(ZuAssets::types__CreateFoldersType* request,
    ZuAssets::types__CreateFoldersResponseType* response) {
    return Call(ZuAssets::soap_call___assets__CreateFolders, request, response);
}

int AssetsPortBinding::__assets__CreateSubclip(ZuAssets::types__CreateSubclipType* request,
    ZuAssets::types__CreateSubclipResponseType* response) {
    return Call(ZuAssets::soap_call___assets__CreateSubclip, request, response);
}

int AssetsPortBinding::__assets__DeleteAssets(ZuAssets::types__DeleteAssetsType* request,
    ZuAssets::types__DeleteAssetsResponseType* response) {
    return Call(ZuAssets::soap_call___assets__DeleteAssets, request, response);
}

int AssetsPortBinding::__assets__Duplicate(ZuAssets::types__DuplicateType* request,
    ZuAssets::types__DuplicateResponseType* response) {
    return Call(ZuAssets::soap_call___assets__Duplicate, request, response);
}

int AssetsPortBinding::__assets__FindLinks(ZuAssets::types__FindLinksType* request,
    ZuAssets::types__FindLinksResponseType* response) {
    return Call(ZuAssets::soap_call___assets__FindLinks, request, response);
}

int AssetsPortBinding::__assets__FindRelatives(ZuAssets::types__FindRelativesType* request,
    ZuAssets::types__FindRelativesResponseType* response) {
    return Call(ZuAssets::soap_call___assets__FindRelatives, request, response);
}

int AssetsPortBinding::__assets__GetAttributes(ZuAssets::types__GetAttributesType* request,
    ZuAssets::types__GetAttributesResponseType* response) {
    return Call(ZuAssets::soap_call___assets__GetAttributes, request, response);
}

int AssetsPortBinding::__assets__GetCategories(ZuAssets::types__GetCategoriesType* request,
    ZuAssets::types__GetCategoriesResponseType* response) {
    return Call(ZuAssets::soap_call___assets__GetCategories, request, response);
}

int AssetsPortBinding::__assets__GetChildren(ZuAssets::types__GetChildrenType* request,
    ZuAssets::types__GetChildrenResponseType* response) {
    return Call(ZuAssets::soap_call___assets__GetChildren, request, response);
}

int AssetsPortBinding::__assets__GetFileDetails(ZuAssets::types__GetFileDetailsType* request,
    ZuAssets::types__GetFileDetailsResponseType* response) {
    return Call(ZuAssets::soap_call___assets__GetFileDetails, request, response);
}

int AssetsPortBinding::__assets__GetHeadframe(ZuAssets::types__GetHeadframeType* request,
    ZuAssets::types__GetHeadframeResponseType* response) {
    return Call(ZuAssets::soap_call___assets__GetHeadframe, request, response);
}

int AssetsPortBinding::__assets__GetLatest(ZuAssets::types__GetLatestType* request,
    ZuAssets::types__GetLatestResponseType* response) {
    return Call(ZuAssets::soap_call___assets__GetLatest, request, response);
}

int AssetsPortBinding::__assets__GetLocators(ZuAssets::types__GetLocatorsType* request,
    ZuAssets::types__GetLocatorsResponseType* response) {
    return Call(ZuAssets::soap_call___assets__GetLocators, request, response);
}

int AssetsPortBinding::__assets__GetUMIDLocators(ZuAssets::types__GetLocatorsType* request,
    ZuAssets::types__GetUMIDLocatorsResponseType* response) {
    return Call(ZuAssets::soap_call___assets__GetUMIDLocators, request, response);
}

int AssetsPortBinding::__assets__GetMetaSyncXML(ZuAssets::types__GetMetaSyncXMLType* request,
    ZuAssets::types__GetMetaSyncXMLResponseType* response) {
    return Call(ZuAssets::soap_call___assets__GetMetaSyncXML, request, response);
}

int AssetsPortBinding::__assets__GetReservations(ZuAssets::types__GetReservationsType* request,
    ZuAssets::types__GetReservationsResponseType* response) {
    return Call(ZuAssets::soap_call___assets__GetReservations, request, response);
}

int AssetsPortBinding::__assets__GetResolutions(ZuAssets::types__GetResolutionsType* request,
    ZuAssets::types__GetResolutionsResponseType* response) {
    return Call(ZuAssets::soap_call___assets__GetResolutions, request, response);
}

int AssetsPortBinding::__assets__GetRestrictions(ZuAssets::types__GetRestrictionsType* request,
    ZuAssets::types__GetRestrictionsResponseType* response) {
    return Call(ZuAssets::soap_call___assets__GetRestrictions, request, response);
}

int AssetsPortBinding::__assets__LinkToMOB(ZuAssets::types__LinkToMOBType* request,
    ZuAssets::types__LinkToMOBResponseType* response) {
    return Call(ZuAssets::soap_call___assets__LinkToMOB, request, response);
}

int AssetsPortBinding::__assets__ModifyFolderACLs(ZuAssets::types__ModifyFolderACLsType* request,
    ZuAssets::types__ModifyFolderACLsResponseType* response) {
    return Call(ZuAssets::soap_call___assets__ModifyFolderACLs, request, response);
}

int AssetsPortBinding::__assets__Move(ZuAssets::types__MoveType* request,
    ZuAssets::types__MoveResponseType* response) {
    return Call(ZuAssets::soap_call___assets__Move, request, response);
}

int AssetsPortBinding::__assets__Rename(ZuAssets::types__RenameType* request,
    ZuAssets::types__RenameResponseType* response) {
    return Call(ZuAssets::soap_call___assets__Rename, request, response);
}

int AssetsPortBinding::__assets__RemoveLocators(ZuAssets::types__RemoveLocatorsType* request,
    ZuAssets::types__RemoveLocatorsResponseType* response) {
    return Call(ZuAssets::soap_call___assets__RemoveLocators, request, response);
}

int AssetsPortBinding::__assets__RemoveUMIDLocators(ZuAssets::types__RemoveUMIDLocatorsType* request,
    ZuAssets::types__RemoveLocatorsResponseType* response) {
    return Call(ZuAssets::soap_call___assets__RemoveUMIDLocators, request, response);
}

int AssetsPortBinding::__assets__RemoveReservations(ZuAssets::types__RemoveReservationsType* request,
    ZuAssets::types__RemoveReservationsResponseType* response) {
    return Call(ZuAssets::soap_call___assets__RemoveReservations, request, response);
}

int AssetsPortBinding::__assets__SaveLocators(ZuAssets::types__SaveLocatorsType* request,
    ZuAssets::types__SaveLocatorsResponseType* response) {
    return Call(ZuAssets::soap_call___assets__SaveLocators, request, response);
}

int AssetsPortBinding::__assets__SaveUMIDLocators(ZuAssets::types__SaveUMIDLocatorsType* request,
    ZuAssets::types__SaveUMIDLocatorsResponseType* response) {
    return Call(ZuAssets::soap_call___assets__SaveUMIDLocators, request, response);
}

int AssetsPortBinding::__assets__Search(ZuAssets::types__SearchType* request,
    ZuAssets::types__SearchResponseType* response) {
    return Call(ZuAssets::soap_call___assets__Search, request, response);
}

int AssetsPortBinding::__assets__SetAttributes(ZuAssets::types__SetAttributesType* request,
    ZuAssets::types__SetAttributesResponseType* response) {
    return Call(ZuAssets::soap_call___assets__SetAttributes, request, response);
}

int AssetsPortBinding::__assets__SetCategories(ZuAssets::types__SetCategoriesType* request,
    ZuAssets::types__SetCategoriesResponseType* response) {
    return Call(ZuAssets::soap_call___assets__SetCategories, request, response);
}

int AssetsPortBinding::__assets__SetHeadframe(ZuAssets::types__SetHeadframeType* request,
    ZuAssets::types__SetHeadframeResponseType* response) {
    return Call(ZuAssets::soap_call___assets__SetHeadframe, request, response);
}

int AssetsPortBinding::__assets__CreateShotlist(ZuAssets::types__CreateShotlistType* request,
    ZuAssets::types__CreateShotlistResponseType* response) {
    return Call(ZuAssets::soap_call___assets__CreateShotlist, request, response);
}

int AssetsPortBinding::__assets__CreateMasterClip(ZuAssets::types__CreateMasterClipType* request,
    ZuAssets::types__CreateMasterClipResponseType* response) {
    return Call(ZuAssets::soap_call___assets__CreateMasterClip, request, response);
}

int AssetsPortBinding::__assets__GetCustomUserAttributes(ZuAssets::types__GetCustomUserAttributesType* request,
    ZuAssets::types__GetCustomUserAttributesResponseType* response) {
    return Call(ZuAssets::soap_call___assets__GetCustomUserAttributes, request, response);
}
