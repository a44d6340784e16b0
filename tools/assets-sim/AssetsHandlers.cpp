// The operations of the service: the ones the component calls, each one
// request read into the model, one call on the tree under its lock and the
// result written back, and the others, which the simulator does not offer.
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "AssetsService.h"
#include "AssetsSimSoapH.h"
#include "CZuAssetsEnvelope.h"
#include "WireMapping.h"

using namespace AssetsSimSoap;

namespace assets_sim {

namespace {

// The URI a request is about, for the log: the first of a list, and how many
// more there are.
std::string FirstOf(const std::vector<std::string>& uris) {
    if (uris.empty()) return "-";
    return uris.size() == 1 ? uris[0] : uris[0] + " (+" + std::to_string(uris.size() - 1) + ")";
}

template <class Response>
void SetErrors(struct soap* soap, Response* response, const ServiceError& failure) {
    if (types__ErrorListType* list = ToWire(soap, failure)) response->Errors = list;
}

// One operation: credentials, then the work on the tree under its lock. The
// work fills the response when it succeeds; a failure becomes the response's
// error list.
template <class Request, class Response, class Work>
int Handle(struct soap* soap, const char* operation, Request* request, Response* response,
           const std::string& uri, Work work) {
    AssetsService& service = AssetsService::Of(soap);
    if (!request) {
        soap->header = nullptr;
        return soap_sender_fault(soap, "Empty request", nullptr);
    }
    if (const ServiceError* denied = service.Authenticate(soap, operation, uri)) {
        SetErrors(soap, response, *denied);
        return SOAP_OK;
    }
    Status status;
    {
        std::lock_guard<std::mutex> lock(service.TreeLock());
        status = work(service.Tree(), AssetsService::User(soap));
    }
    if (status) SetErrors(soap, response, *status);
    AssetsService::Record(soap, status);
    return SOAP_OK;
}

// Operations of the service that the simulator does not offer.
int NotSimulated(struct soap* soap, const char* operation) {
    AssetsService& service = AssetsService::Of(soap);
    service.Authenticate(soap, operation, "");
    std::string message = std::string(operation) + " is not available on this server.";
    AssetsService::RecordFault(soap, message);
    soap_receiver_fault(soap, message.c_str(), nullptr);
    CZuAssetsEnvelope::SetFaultDetail(soap, kErrorNotSupported, message,
                                      "This server offers the operations of folders, assets, attributes, "
                                      "locators and search.");
    return SOAP_FAULT;
}

} // namespace

} // namespace assets_sim

using assets_sim::AssetTree;
using assets_sim::AttributeList;
using assets_sim::Description;
using assets_sim::Status;

// The operations the component calls.

int AssetsSimSoap::__assets__CreateFolder(struct soap* soap, types__CreateFolderType* request,
                                          types__CreateFolderResponseType* response) {
    return assets_sim::Handle(soap, "CreateFolder", request, response, request ? request->InterplayURI : "",
                              [&](AssetTree& tree, const std::string& user) {
                                  return tree.CreateFolder(request->InterplayURI, user);
                              });
}

int AssetsSimSoap::__assets__GetChildren(struct soap* soap, types__GetChildrenType* request,
                                         types__GetChildrenResponseType* response) {
    return assets_sim::Handle(soap, "GetChildren", request, response, request ? request->InterplayURI : "",
                              [&](AssetTree& tree, const std::string&) {
                                  assets_sim::ChildFilter filter;
                                  filter.folders = !request->IncludeFolders || *request->IncludeFolders;
                                  filter.files = !request->IncludeFiles || *request->IncludeFiles;
                                  filter.mobs = !request->IncludeMOBs || *request->IncludeMOBs;
                                  if (request->NameFilter) filter.namePattern = *request->NameFilter;
                                  std::vector<Description> children;
                                  Status status = tree.GetChildren(
                                      request->InterplayURI, filter,
                                      assets_sim::FromWire(request->ReturnAttributes), &children);
                                  if (!status) response->Results = assets_sim::ToWire(soap, children);
                                  return status;
                              });
}

int AssetsSimSoap::__assets__CheckIn(struct soap* soap, types__CheckInType* request,
                                     types__CheckInResponseType* response) {
    return assets_sim::Handle(soap, "CheckIn", request, response, request ? request->InterplayURI : "",
                              [&](AssetTree& tree, const std::string& user) {
                                  std::string uri;
                                  Status status =
                                      tree.CheckIn(request->InterplayURI, assets_sim::Bytes(&request->File),
                                                   assets_sim::FromWire(request->Attributes), user, &uri);
                                  if (!status) response->InterplayURI = assets_sim::NewString(soap, uri);
                                  return status;
                              });
}

int AssetsSimSoap::__assets__CheckInAAF(struct soap* soap, types__CheckInAAFType* request,
                                        types__CheckInAAFResponseType* response) {
    return assets_sim::Handle(soap, "CheckInAAF", request, response, request ? request->InterplayURI : "",
                              [&](AssetTree& tree, const std::string& user) {
                                  std::optional<std::string> headframe;
                                  if (request->Headframe) headframe = assets_sim::Bytes(request->Headframe);
                                  std::string uri;
                                  Status status =
                                      tree.CheckInAAF(request->InterplayURI, assets_sim::Bytes(&request->AAF),
                                                      std::move(headframe),
                                                      assets_sim::FromWire(request->Attributes), user, &uri);
                                  if (!status) response->InterplayURI = assets_sim::NewString(soap, uri);
                                  return status;
                              });
}

int AssetsSimSoap::__assets__GetLatest(struct soap* soap, types__GetLatestType* request,
                                       types__GetLatestResponseType* response) {
    return assets_sim::Handle(soap, "GetLatest", request, response, request ? request->InterplayURI : "",
                              [&](AssetTree& tree, const std::string&) {
                                  std::string bytes;
                                  Status status = tree.GetLatest(request->InterplayURI, &bytes);
                                  if (!status) response->File = assets_sim::ToBinary(soap, bytes);
                                  return status;
                              });
}

int AssetsSimSoap::__assets__GetHeadframe(struct soap* soap, types__GetHeadframeType* request,
                                          types__GetHeadframeResponseType* response) {
    return assets_sim::Handle(soap, "GetHeadframe", request, response, request ? request->InterplayURI : "",
                              [&](AssetTree& tree, const std::string&) {
                                  std::string bytes;
                                  Status status = tree.GetHeadframe(request->InterplayURI, &bytes);
                                  if (!status) response->Headframe = assets_sim::ToBinary(soap, bytes);
                                  return status;
                              });
}

int AssetsSimSoap::__assets__Duplicate(struct soap* soap, types__DuplicateType* request,
                                       types__DuplicateResponseType* response) {
    return assets_sim::Handle(soap, "Duplicate", request, response, request ? request->InterplayAssetURI : "",
                              [&](AssetTree& tree, const std::string& user) {
                                  std::string uri;
                                  Status status =
                                      tree.Duplicate(request->InterplayAssetURI, request->InterplayFolderURI,
                                                     assets_sim::FromWire(request->Attributes), user, &uri);
                                  if (!status) response->InterplayURI = assets_sim::NewString(soap, uri);
                                  return status;
                              });
}

int AssetsSimSoap::__assets__Move(struct soap* soap, types__MoveType* request,
                                  types__MoveResponseType* response) {
    return assets_sim::Handle(soap, "Move", request, response, request ? request->InterplayAssetURI : "",
                              [&](AssetTree& tree, const std::string& user) {
                                  return tree.Move(request->InterplayAssetURI, request->InterplayFolderURI,
                                                   user);
                              });
}

int AssetsSimSoap::__assets__DeleteAssets(struct soap* soap, types__DeleteAssetsType* request,
                                          types__DeleteAssetsResponseType* response) {
    std::vector<std::string> uris =
        request ? assets_sim::Uris(request->InterplayURIs) : std::vector<std::string>();
    return assets_sim::Handle(
        soap, "DeleteAssets", request, response, assets_sim::FirstOf(uris),
        [&](AssetTree& tree, const std::string&) {
            assets_sim::DeleteOptions options;
            options.metadata = !request->DeleteMetadata || *request->DeleteMetadata;
            options.media = request->DeleteMedia;
            options.simulation = request->Simulation && *request->Simulation;
            assets_sim::DeleteReport report;
            Status status = tree.DeleteAssets(uris, options, &report);
            if (!status) {
                response->DeletedAssets = assets_sim::ToWire(soap, report.deletedAssets);
                response->DeletedMedia = assets_sim::MediaToWire(soap, report.deletedMedia);
            }
            return status;
        });
}

int AssetsSimSoap::__assets__GetAttributes(struct soap* soap, types__GetAttributesType* request,
                                           types__GetAttributesResponseType* response) {
    std::vector<std::string> uris =
        request ? assets_sim::Uris(request->InterplayURIs) : std::vector<std::string>();
    return assets_sim::Handle(soap, "GetAttributes", request, response, assets_sim::FirstOf(uris),
                              [&](AssetTree& tree, const std::string&) {
                                  std::vector<Description> descriptions;
                                  Status status = tree.GetAttributes(
                                      uris, assets_sim::FromWire(request->Attributes), &descriptions);
                                  if (!status) response->Results = assets_sim::ToWire(soap, descriptions);
                                  return status;
                              });
}

int AssetsSimSoap::__assets__SetAttributes(struct soap* soap, types__SetAttributesType* request,
                                           types__SetAttributesResponseType* response) {
    std::vector<std::string> uris =
        request ? assets_sim::Uris(request->InterplayURIs) : std::vector<std::string>();
    return assets_sim::Handle(soap, "SetAttributes", request, response, assets_sim::FirstOf(uris),
                              [&](AssetTree& tree, const std::string& user) {
                                  return tree.SetAttributes(uris, assets_sim::FromWire(request->Attributes),
                                                            user);
                              });
}

int AssetsSimSoap::__assets__GetLocators(struct soap* soap, types__GetLocatorsType* request,
                                         types__GetLocatorsResponseType* response) {
    return assets_sim::Handle(soap, "GetLocators", request, response, request ? request->InterplayURI : "",
                              [&](AssetTree& tree, const std::string&) {
                                  std::vector<assets_sim::Locator> locators;
                                  Status status = tree.GetLocators(request->InterplayURI, &locators);
                                  if (!status) response->Results = assets_sim::ToWire(soap, locators);
                                  return status;
                              });
}

int AssetsSimSoap::__assets__SaveLocators(struct soap* soap, types__SaveLocatorsType* request,
                                          types__SaveLocatorsResponseType* response) {
    return assets_sim::Handle(
        soap, "SaveLocators", request, response, request ? request->InterplayURI : "",
        [&](AssetTree& tree, const std::string& user) {
            std::vector<assets_sim::Locator> locators = assets_sim::FromWire(request->Locators);
            std::vector<int> ids;
            Status status = tree.SaveLocators(request->InterplayURI, locators, user, &ids);
            if (!status) {
                response->Results = soap_new_types__LocatorIDListType(soap);
                if (response->Results) response->Results->LocatorID = ids;
            }
            return status;
        });
}

int AssetsSimSoap::__assets__RemoveLocators(struct soap* soap, types__RemoveLocatorsType* request,
                                            types__RemoveLocatorsResponseType* response) {
    return assets_sim::Handle(soap, "RemoveLocators", request, response, request ? request->InterplayURI : "",
                              [&](AssetTree& tree, const std::string&) {
                                  std::vector<int> ids;
                                  if (request->LocatorIDs) ids = request->LocatorIDs->LocatorID;
                                  return tree.RemoveLocators(request->InterplayURI, ids);
                              });
}

int AssetsSimSoap::__assets__Search(struct soap* soap, types__SearchType* request,
                                    types__SearchResponseType* response) {
    return assets_sim::Handle(soap, "Search", request, response, request ? request->InterplayPathURI : "",
                              [&](AssetTree& tree, const std::string&) {
                                  assets_sim::SearchGroup group;
                                  if (request->SearchGroup) {
                                      if (Status problem = assets_sim::SearchGroupFromWire(
                                              request->SearchGroup, request->InterplayPathURI, &group))
                                          return problem;
                                  }
                                  std::vector<Description> found;
                                  Status status =
                                      tree.Search(request->InterplayPathURI, group,
                                                  assets_sim::FromWire(request->ReturnAttributes),
                                                  request->MaxResults ? *request->MaxResults : 0, &found);
                                  if (!status) response->Results = assets_sim::ToWire(soap, found);
                                  return status;
                              });
}

// The service's other operations.

#define ASSETS_SIM_NOT_SIMULATED(Operation, Request, Response)                         \
    int AssetsSimSoap::__assets__##Operation(struct soap* soap, Request*, Response*) { \
        return assets_sim::NotSimulated(soap, #Operation);                             \
    }
#define ASSETS_SIM_NOT_SIMULATED_OP(Operation) \
    ASSETS_SIM_NOT_SIMULATED(Operation, types__##Operation##Type, types__##Operation##ResponseType)

ASSETS_SIM_NOT_SIMULATED_OP(GetStreamingURL)
ASSETS_SIM_NOT_SIMULATED_OP(AddReservation)
ASSETS_SIM_NOT_SIMULATED_OP(AddRestrictions)
ASSETS_SIM_NOT_SIMULATED_OP(CreateFolders)
ASSETS_SIM_NOT_SIMULATED_OP(CreateSubclip)
ASSETS_SIM_NOT_SIMULATED_OP(FindLinks)
ASSETS_SIM_NOT_SIMULATED_OP(FindRelatives)
ASSETS_SIM_NOT_SIMULATED_OP(GetCategories)
ASSETS_SIM_NOT_SIMULATED_OP(GetFileDetails)
ASSETS_SIM_NOT_SIMULATED(GetUMIDLocators, types__GetLocatorsType, types__GetUMIDLocatorsResponseType)
ASSETS_SIM_NOT_SIMULATED_OP(GetMetaSyncXML)
ASSETS_SIM_NOT_SIMULATED_OP(GetReservations)
ASSETS_SIM_NOT_SIMULATED_OP(GetResolutions)
ASSETS_SIM_NOT_SIMULATED_OP(GetRestrictions)
ASSETS_SIM_NOT_SIMULATED_OP(LinkToMOB)
ASSETS_SIM_NOT_SIMULATED_OP(ModifyFolderACLs)
ASSETS_SIM_NOT_SIMULATED_OP(Rename)
ASSETS_SIM_NOT_SIMULATED(RemoveUMIDLocators, types__RemoveUMIDLocatorsType, types__RemoveLocatorsResponseType)
ASSETS_SIM_NOT_SIMULATED_OP(RemoveReservations)
ASSETS_SIM_NOT_SIMULATED_OP(SaveUMIDLocators)
ASSETS_SIM_NOT_SIMULATED_OP(SetCategories)
ASSETS_SIM_NOT_SIMULATED_OP(SetHeadframe)
ASSETS_SIM_NOT_SIMULATED_OP(CreateShotlist)
ASSETS_SIM_NOT_SIMULATED_OP(CreateMasterClip)
ASSETS_SIM_NOT_SIMULATED_OP(GetCustomUserAttributes)
