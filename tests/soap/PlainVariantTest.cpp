// The plain variant of the messages (zu_soap_plain_library) as a server, in one
// program with the component's variant: the module's requests reach it with
// their text as UTF-8, and its answers come back in the module's form.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <mutex>
#include <string>
#include <thread>

#include "CZuAssetsEnvelope.h"
#include "CZuServiceCall.h"
#include "ZuAssetsNamespaces.h"
#include "ZuResultCodes.h"
#include "ZuTestAssetsPlainH.h"

namespace plain = ZuTestAssetsPlain;

namespace {

// What the server saw of the last request.
struct Seen {
    std::mutex mutex;
    std::string user, password, uri;
    bool credentials = false;
} seen;

} // namespace

// The server's operations: CreateFolder and GetChildren answer, the others
// are not served.
namespace ZuTestAssetsPlain {

int __assets__CreateFolder(struct soap* soap, types__CreateFolderType* request,
                           types__CreateFolderResponseType* response) {
    {
        std::lock_guard<std::mutex> lock(seen.mutex);
        seen.credentials = CZuAssetsEnvelope::GetCredentials(soap, &seen.user, &seen.password);
        seen.uri = request->InterplayURI;
    }
    if (request->InterplayURI == "interplay://WG/fault") {
        soap_sender_fault(soap, "no such folder", nullptr);
        CZuAssetsEnvelope::SetFaultDetail(soap, "404", "missing", "the parent folder is missing");
        return SOAP_FAULT;
    }
    response->Errors = soap_new_types__ErrorListType(soap);
    types__ErrorType* error = soap_new_types__ErrorType(soap);
    error->Code = "E7";
    error->Message = "\xe5\xb7\xb2\xe5\xad\x98\xe5\x9c\xa8"; // UTF-8
    error->Details = "exists: " + request->InterplayURI;
    response->Errors->Error.push_back(error);
    return SOAP_OK;
}

int __assets__GetChildren(struct soap* soap, types__GetChildrenType*,
                          types__GetChildrenResponseType* response) {
    response->Results = soap_new_types__AssetDescriptionListType(soap);
    types__AssetDescriptionType* asset = soap_new_types__AssetDescriptionType(soap);
    asset->InterplayURI = "interplay://WG/\xe4\xb8\xad";
    asset->Attributes = soap_new_types__AttributeListType(soap);
    types__AttributeType* attribute = soap_new_types__AttributeType(soap);
    attribute->Group = "USER";
    attribute->Name = "\xe4\xb8\xad\xe6\x96\x87";
    attribute->__item = "<\xe6\x96\x87>";
    asset->Attributes->Attribute.push_back(attribute);
    response->Results->AssetDescription.push_back(asset);
    return SOAP_OK;
}

#define ZU_NOT_SERVED(op, request, response) \
    int __assets__##op(struct soap*, types__##request*, types__##response*) { return SOAP_NO_METHOD; }
ZU_NOT_SERVED(GetStreamingURL, GetStreamingURLType, GetStreamingURLResponseType)
ZU_NOT_SERVED(AddReservation, AddReservationType, AddReservationResponseType)
ZU_NOT_SERVED(AddRestrictions, AddRestrictionsType, AddRestrictionsResponseType)
ZU_NOT_SERVED(CheckIn, CheckInType, CheckInResponseType)
ZU_NOT_SERVED(CheckInAAF, CheckInAAFType, CheckInAAFResponseType)
ZU_NOT_SERVED(CreateFolders, CreateFoldersType, CreateFoldersResponseType)
ZU_NOT_SERVED(CreateSubclip, CreateSubclipType, CreateSubclipResponseType)
ZU_NOT_SERVED(DeleteAssets, DeleteAssetsType, DeleteAssetsResponseType)
ZU_NOT_SERVED(Duplicate, DuplicateType, DuplicateResponseType)
ZU_NOT_SERVED(FindLinks, FindLinksType, FindLinksResponseType)
ZU_NOT_SERVED(FindRelatives, FindRelativesType, FindRelativesResponseType)
ZU_NOT_SERVED(GetAttributes, GetAttributesType, GetAttributesResponseType)
ZU_NOT_SERVED(GetCategories, GetCategoriesType, GetCategoriesResponseType)
ZU_NOT_SERVED(GetFileDetails, GetFileDetailsType, GetFileDetailsResponseType)
ZU_NOT_SERVED(GetHeadframe, GetHeadframeType, GetHeadframeResponseType)
ZU_NOT_SERVED(GetLatest, GetLatestType, GetLatestResponseType)
ZU_NOT_SERVED(GetLocators, GetLocatorsType, GetLocatorsResponseType)
ZU_NOT_SERVED(GetUMIDLocators, GetLocatorsType, GetUMIDLocatorsResponseType)
ZU_NOT_SERVED(GetMetaSyncXML, GetMetaSyncXMLType, GetMetaSyncXMLResponseType)
ZU_NOT_SERVED(GetReservations, GetReservationsType, GetReservationsResponseType)
ZU_NOT_SERVED(GetResolutions, GetResolutionsType, GetResolutionsResponseType)
ZU_NOT_SERVED(GetRestrictions, GetRestrictionsType, GetRestrictionsResponseType)
ZU_NOT_SERVED(LinkToMOB, LinkToMOBType, LinkToMOBResponseType)
ZU_NOT_SERVED(ModifyFolderACLs, ModifyFolderACLsType, ModifyFolderACLsResponseType)
ZU_NOT_SERVED(Move, MoveType, MoveResponseType)
ZU_NOT_SERVED(Rename, RenameType, RenameResponseType)
ZU_NOT_SERVED(RemoveLocators, RemoveLocatorsType, RemoveLocatorsResponseType)
ZU_NOT_SERVED(RemoveUMIDLocators, RemoveUMIDLocatorsType, RemoveLocatorsResponseType)
ZU_NOT_SERVED(RemoveReservations, RemoveReservationsType, RemoveReservationsResponseType)
ZU_NOT_SERVED(SaveLocators, SaveLocatorsType, SaveLocatorsResponseType)
ZU_NOT_SERVED(SaveUMIDLocators, SaveUMIDLocatorsType, SaveUMIDLocatorsResponseType)
ZU_NOT_SERVED(Search, SearchType, SearchResponseType)
ZU_NOT_SERVED(SetAttributes, SetAttributesType, SetAttributesResponseType)
ZU_NOT_SERVED(SetCategories, SetCategoriesType, SetCategoriesResponseType)
ZU_NOT_SERVED(SetHeadframe, SetHeadframeType, SetHeadframeResponseType)
ZU_NOT_SERVED(CreateShotlist, CreateShotlistType, CreateShotlistResponseType)
ZU_NOT_SERVED(CreateMasterClip, CreateMasterClipType, CreateMasterClipResponseType)
ZU_NOT_SERVED(GetCustomUserAttributes, GetCustomUserAttributesType, GetCustomUserAttributesResponseType)
#undef ZU_NOT_SERVED

} // namespace ZuTestAssetsPlain

namespace {

// A plain-variant server on a loopback port, serving a number of requests.
class PlainServer {
public:
    explicit PlainServer(int requests) : m_soap(soap_new1(SOAP_C_UTFSTRING | SOAP_XML_TREE)) {
        soap_set_namespaces(m_soap, ZuAssetsNamespaces());
        m_soap->socket_flags = MSG_NOSIGNAL;
        m_soap->bind_flags = SO_REUSEADDR;
        if (!soap_valid_socket(soap_bind(m_soap, "127.0.0.1", 0, 4))) return;
        sockaddr_in address{};
        socklen_t length = sizeof address;
        getsockname(m_soap->master, reinterpret_cast<sockaddr*>(&address), &length);
        m_url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/services/Assets";
        m_thread = std::thread([this, requests] {
            for (int i = 0; i < requests; ++i) {
                if (!soap_valid_socket(soap_accept(m_soap))) break;
                plain::soap_serve(m_soap);
                soap_destroy(m_soap);
                soap_end(m_soap);
            }
        });
    }
    ~PlainServer() {
        if (m_thread.joinable()) m_thread.join();
        soap_destroy(m_soap);
        soap_end(m_soap);
        soap_free(m_soap);
    }
    const std::string& url() const { return m_url; }

private:
    struct soap* m_soap;
    std::string m_url;
    std::thread m_thread;
};

TEST(PlainVariant, ServesTheModulesRequestsAcrossTheTextForms) {
    PlainServer server(3);
    ASSERT_FALSE(server.url().empty());
    std::string lastErrorText;
    {
        CZuServiceCall call(server.url(), "\xd3\xc3\xbb\xa7", "pw", lastErrorText); // GBK
        ZuAssets::types__CreateFolderType request;
        request.InterplayURI = "interplay://WG/\xd6\xd0\xce\xc4";
        ZuAssets::types__CreateFolderResponseType response;
        EXPECT_EQ(ZU_E_SERVERERROR, call.Run(&AssetsPortBinding::__assets__CreateFolder, &request, &response,
                                             CZuServiceCall::Policy().KeepMessage()));
        EXPECT_EQ("\xd2\xd1\xb4\xe6\xd4\xda", lastErrorText); // the UTF-8 message, in GBK
        ASSERT_NE(nullptr, call.GetFirstError());
        EXPECT_EQ("E7", call.GetFirstError()->Code);
        EXPECT_EQ("exists: interplay://WG/\xd6\xd0\xce\xc4", call.GetFirstError()->Details);
    }
    {
        std::lock_guard<std::mutex> lock(seen.mutex);
        EXPECT_TRUE(seen.credentials);
        EXPECT_EQ("\xd3\xc3\xbb\xa7", seen.user); // the header is in the server thread's code page
        EXPECT_EQ("pw", seen.password);
        EXPECT_EQ("interplay://WG/\xe4\xb8\xad\xe6\x96\x87", seen.uri); // the body is UTF-8
    }
    {
        CZuServiceCall call(server.url(), "u", "p", lastErrorText);
        ZuAssets::types__GetChildrenType request;
        ZuAssets::types__GetChildrenResponseType response;
        EXPECT_EQ(S_OK, call.Run(&AssetsPortBinding::__assets__GetChildren, &request, &response));
        ASSERT_TRUE(response.Results && response.Results->AssetDescription.size() == 1);
        const ZuAssets::types__AssetDescriptionType* asset = response.Results->AssetDescription[0];
        EXPECT_EQ("interplay://WG/\xd6\xd0", asset->InterplayURI);
        ASSERT_TRUE(asset->Attributes && asset->Attributes->Attribute.size() == 1);
        EXPECT_EQ("\xd6\xd0\xce\xc4", asset->Attributes->Attribute[0]->Name);
        EXPECT_EQ("<\xce\xc4>", asset->Attributes->Attribute[0]->__item);
    }
    {
        CZuServiceCall call(server.url(), "u", "p", lastErrorText);
        ZuAssets::types__CreateFolderType request;
        request.InterplayURI = "interplay://WG/fault";
        ZuAssets::types__CreateFolderResponseType response;
        EXPECT_EQ(SOAP_CLI_FAULT, call.Run(&AssetsPortBinding::__assets__CreateFolder, &request, &response));
        std::string code, details;
        EXPECT_TRUE(CZuAssetsEnvelope::GetFaultDetail(call.Context(), &code, nullptr, &details));
        EXPECT_EQ("404", code);
        EXPECT_EQ("the parent folder is missing", details);
    }
}

} // namespace
