// The proxy of the Assets service's one port: a SOAP context of its own, the
// endpoint, the credentials header and one method per service operation.
//
// A binding serves one exchange. Each method posts the request to the endpoint
// (an empty SOAPAction, a SOAP 1.1 envelope, "Connection: close") and reads the
// response into *response, whose strings and sub-objects live in the binding's
// context until the binding is destroyed. It returns the runtime's code: 0 when
// the response element was read, otherwise the error met (connection, HTTP
// status, XML, memory, or the code of a SOAP fault: SOAP_CLI_FAULT for
// Client/Sender, SOAP_SVR_FAULT for Server/Receiver, SOAP_MUSTUNDERSTAND,
// SOAP_VERSIONMISMATCH, SOAP_FAULT for any other fault code; whatever prefix
// the server binds the envelope namespace to). A method returns
// SOAP_EOM without sending anything when the binding has no context, and
// SOAP_TCP_ERROR when the endpoint is the empty string: the runtime would read
// that as standard output and input. A null endpoint posts to the service's
// default URL, http://localhost/services/Assets.
//
// The context: keep-alive, chunking, strict parsing and the multibyte mode are
// off. SOAP_C_UTFSTRING is on: the runtime hands text and attribute values over
// as their UTF-8 bytes (in its default mode it would cut every character above
// U+00FF to one byte) and writes the attribute values it writes itself as
// UTF-8; message strings are converted by CZuWireText. SOAP_XML_TREE is on:
// document/literal messages carry no multi-reference ids, and the runtime then
// skips their bookkeeping. Sends never raise SIGPIPE; no time-outs are set.
#ifndef ASSETS_PORT_BINDING_H
#define ASSETS_PORT_BINDING_H

#include <string>

#include "ZuAssetsH.h"

class AssetsPortBinding {
public:
    // The mode the binding's context is created in.
    static const int CONTEXT_MODE = SOAP_C_UTFSTRING | SOAP_XML_TREE;

    // Creates the context; soap is null when that failed.
    AssetsPortBinding();
    // Frees everything the context allocated, then the context.
    virtual ~AssetsPortBinding();
    AssetsPortBinding(const AssetsPortBinding&) = delete;
    AssetsPortBinding& operator=(const AssetsPortBinding&) = delete;

    // Sets the credentials header: types:UserCredentials with copies of the
    // user name and password (text in the thread's code page), no
    // mustUnderstand. SOAP_OK, or SOAP_EOM when there is no context or the
    // header record cannot be allocated.
    int SetCredentials(const std::string& userName, const std::string& password);

    // The service operations, in the binding's order.
    virtual int __assets__GetStreamingURL(ZuAssets::types__GetStreamingURLType* request,
        ZuAssets::types__GetStreamingURLResponseType* response);
    virtual int __assets__AddReservation(ZuAssets::types__AddReservationType* request,
        ZuAssets::types__AddReservationResponseType* response);
    virtual int __assets__AddRestrictions(ZuAssets::types__AddRestrictionsType* request,
        ZuAssets::types__AddRestrictionsResponseType* response);
    virtual int __assets__CheckIn(ZuAssets::types__CheckInType* request,
        ZuAssets::types__CheckInResponseType* response);
    virtual int __assets__CheckInAAF(ZuAssets::types__CheckInAAFType* request,
        ZuAssets::types__CheckInAAFResponseType* response);
    virtual int __assets__CreateFolder(ZuAssets::types__CreateFolderType* request,
        ZuAssets::types__CreateFolderResponseType* response);
    virtual int __assets__CreateFolders(ZuAssets::types__CreateFoldersType* request,
        ZuAssets::types__CreateFoldersResponseType* response);
    virtual int __assets__CreateSubclip(ZuAssets::types__CreateSubclipType* request,
        ZuAssets::types__CreateSubclipResponseType* response);
    virtual int __assets__DeleteAssets(ZuAssets::types__DeleteAssetsType* request,
        ZuAssets::types__DeleteAssetsResponseType* response);
    virtual int __assets__Duplicate(ZuAssets::types__DuplicateType* request,
        ZuAssets::types__DuplicateResponseType* response);
    virtual int __assets__FindLinks(ZuAssets::types__FindLinksType* request,
        ZuAssets::types__FindLinksResponseType* response);
    virtual int __assets__FindRelatives(ZuAssets::types__FindRelativesType* request,
        ZuAssets::types__FindRelativesResponseType* response);
    virtual int __assets__GetAttributes(ZuAssets::types__GetAttributesType* request,
        ZuAssets::types__GetAttributesResponseType* response);
    virtual int __assets__GetCategories(ZuAssets::types__GetCategoriesType* request,
        ZuAssets::types__GetCategoriesResponseType* response);
    virtual int __assets__GetChildren(ZuAssets::types__GetChildrenType* request,
        ZuAssets::types__GetChildrenResponseType* response);
    virtual int __assets__GetFileDetails(ZuAssets::types__GetFileDetailsType* request,
        ZuAssets::types__GetFileDetailsResponseType* response);
    virtual int __assets__GetHeadframe(ZuAssets::types__GetHeadframeType* request,
        ZuAssets::types__GetHeadframeResponseType* response);
    virtual int __assets__GetLatest(ZuAssets::types__GetLatestType* request,
        ZuAssets::types__GetLatestResponseType* response);
    virtual int __assets__GetLocators(ZuAssets::types__GetLocatorsType* request,
        ZuAssets::types__GetLocatorsResponseType* response);
    virtual int __assets__GetUMIDLocators(ZuAssets::types__GetLocatorsType* request,
        ZuAssets::types__GetUMIDLocatorsResponseType* response);
    virtual int __assets__GetMetaSyncXML(ZuAssets::types__GetMetaSyncXMLType* request,
        ZuAssets::types__GetMetaSyncXMLResponseType* response);
    virtual int __assets__GetReservations(ZuAssets::types__GetReservationsType* request,
        ZuAssets::types__GetReservationsResponseType* response);
    virtual int __assets__GetResolutions(ZuAssets::types__GetResolutionsType* request,
        ZuAssets::types__GetResolutionsResponseType* response);
    virtual int __assets__GetRestrictions(ZuAssets::types__GetRestrictionsType* request,
        ZuAssets::types__GetRestrictionsResponseType* response);
    virtual int __assets__LinkToMOB(ZuAssets::types__LinkToMOBType* request,
        ZuAssets::types__LinkToMOBResponseType* response);
    virtual int __assets__ModifyFolderACLs(ZuAssets::types__ModifyFolderACLsType* request,
        ZuAssets::types__ModifyFolderACLsResponseType* response);
    virtual int __assets__Move(ZuAssets::types__MoveType* request,
        ZuAssets::types__MoveResponseType* response);
    virtual int __assets__Rename(ZuAssets::types__RenameType* request,
        ZuAssets::types__RenameResponseType* response);
    virtual int __assets__RemoveLocators(ZuAssets::types__RemoveLocatorsType* request,
        ZuAssets::types__RemoveLocatorsResponseType* response);
    virtual int __assets__RemoveUMIDLocators(ZuAssets::types__RemoveUMIDLocatorsType* request,
        ZuAssets::types__RemoveLocatorsResponseType* response);
    virtual int __assets__RemoveReservations(ZuAssets::types__RemoveReservationsType* request,
        ZuAssets::types__RemoveReservationsResponseType* response);
    virtual int __assets__SaveLocators(ZuAssets::types__SaveLocatorsType* request,
        ZuAssets::types__SaveLocatorsResponseType* response);
    virtual int __assets__SaveUMIDLocators(ZuAssets::types__SaveUMIDLocatorsType* request,
        ZuAssets::types__SaveUMIDLocatorsResponseType* response);
    virtual int __assets__Search(ZuAssets::types__SearchType* request,
        ZuAssets::types__SearchResponseType* response);
    virtual int __assets__SetAttributes(ZuAssets::types__SetAttributesType* request,
        ZuAssets::types__SetAttributesResponseType* response);
    virtual int __assets__SetCategories(ZuAssets::types__SetCategoriesType* request,
        ZuAssets::types__SetCategoriesResponseType* response);
    virtual int __assets__SetHeadframe(ZuAssets::types__SetHeadframeType* request,
        ZuAssets::types__SetHeadframeResponseType* response);
    virtual int __assets__CreateShotlist(ZuAssets::types__CreateShotlistType* request,
        ZuAssets::types__CreateShotlistResponseType* response);
    virtual int __assets__CreateMasterClip(ZuAssets::types__CreateMasterClipType* request,
        ZuAssets::types__CreateMasterClipResponseType* response);
    virtual int __assets__GetCustomUserAttributes(ZuAssets::types__GetCustomUserAttributesType* request,
        ZuAssets::types__GetCustomUserAttributesResponseType* response);

    // The runtime context, owned; null if it could not be created.
    struct soap* soap;
    // The URL requests go to; not owned. Null: the default URL.
    const char* endpoint;

private:
    template <class Request, class Response>
    int Call(int (*call)(struct soap*, const char*, const char*, Request*, Response*),
             Request* request, Response* response);
};

#endif // ASSETS_PORT_BINDING_H
