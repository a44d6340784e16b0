#include "AssetsService.h"

#include <stdint.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

#include "AssetsSimSoapH.h"
#include "CZuAssetsEnvelope.h"
#include "KoSocket.h"
#include "ZuAssetsNamespaces.h"

using namespace AssetsSimSoap;

namespace assets_sim {

namespace {

// Deepest element nesting a request may have; the deepest real one is a few
// nested search groups.
const unsigned kMaxXmlDepth = 200;
// A peer that stalls this long mid-request loses its connection.
const int kIoTimeoutSeconds = 30;
// What the HTTP headers of a request may add to its declared length.
const size_t kHeaderAllowance = 64 * 1024;

std::string UtcNow() {
    time_t now = time(nullptr);
    struct tm parts;
    gmtime_r(&now, &parts);
    char text[32];
    strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

std::string* NewString(struct soap* soap, const std::string& text) {
    std::string* s = soap_new_std__string(soap);
    if (s) *s = text;
    return s;
}

std::string Bytes(const xsd__base64Binary* binary) {
    if (!binary || !binary->__ptr || binary->__size <= 0) return std::string();
    return std::string(reinterpret_cast<const char*>(binary->__ptr), static_cast<size_t>(binary->__size));
}

xsd__base64Binary* ToBinary(struct soap* soap, const std::string& bytes) {
    xsd__base64Binary* binary = soap_new_xsd__base64Binary(soap);
    if (!binary) return nullptr;
    binary->__ptr = static_cast<unsigned char*>(soap_malloc(soap, bytes.size() + 1));
    if (!binary->__ptr) return nullptr;
    memcpy(binary->__ptr, bytes.data(), bytes.size());
    binary->__size = static_cast<int>(bytes.size());
    return binary;
}

AttributeList FromWire(const types__AttributeListType* list) {
    AttributeList out;
    if (!list) return out;
    for (const types__AttributeType* attribute : list->Attribute) {
        if (attribute) out.push_back({attribute->Group, attribute->Name, attribute->__item});
    }
    return out;
}

types__AttributeListType* ToWire(struct soap* soap, const AttributeList& attributes) {
    types__AttributeListType* list = soap_new_types__AttributeListType(soap);
    if (!list) return nullptr;
    for (const Attribute& attribute : attributes) {
        types__AttributeType* wire = soap_new_types__AttributeType(soap);
        if (!wire) return nullptr;
        wire->Group = attribute.group;
        wire->Name = attribute.name;
        wire->__item = attribute.value;
        list->Attribute.push_back(wire);
    }
    return list;
}

types__AssetDescriptionListType* ToWire(struct soap* soap, const std::vector<Description>& descriptions) {
    types__AssetDescriptionListType* list = soap_new_types__AssetDescriptionListType(soap);
    if (!list) return nullptr;
    for (const Description& description : descriptions) {
        types__AssetDescriptionType* wire = soap_new_types__AssetDescriptionType(soap);
        if (!wire) return nullptr;
        wire->InterplayURI = description.uri;
        wire->Attributes = ToWire(soap, description.attributes);
        list->AssetDescription.push_back(wire);
    }
    return list;
}

std::vector<std::string> Uris(const types__InterplayURIListType* list) {
    return list ? list->InterplayURI : std::vector<std::string>();
}

types__InterplayURIListType* ToWire(struct soap* soap, const std::vector<std::string>& uris) {
    types__InterplayURIListType* list = soap_new_types__InterplayURIListType(soap);
    if (list) list->InterplayURI = uris;
    return list;
}

// The URI a request is about, for the log: the first of a list, and how many
// more there are.
std::string FirstOf(const std::vector<std::string>& uris) {
    if (uris.empty()) return "-";
    return uris.size() == 1 ? uris[0] : uris[0] + " (+" + std::to_string(uris.size() - 1) + ")";
}

Status Unsupported(const std::string& uri, const std::string& what) {
    return ServiceError{kErrorNotSupported, uri, what + " is not supported by this server.",
                        "This server searches by attribute conditions only; leave out " + what + "."};
}

Status SearchGroupFromWire(const types__SearchGroupType* wire, const std::string& uri, SearchGroup* out) {
    out->op = wire->Operator;
    out->negated = wire->Negated && *wire->Negated;
    if (!wire->CategoryCondition.empty()) return Unsupported(uri, "A category condition");
    if (wire->FileInUseCondition) return Unsupported(uri, "A file-in-use condition");
    if (!wire->ResolutionCondition.empty()) return Unsupported(uri, "A resolution condition");
    for (const types__AttributeConditionType* condition : wire->AttributeCondition) {
        if (!condition) continue;
        AttributeCondition kept;
        kept.comparison = condition->Condition;
        if (condition->Attribute)
            kept.attribute = {condition->Attribute->Group, condition->Attribute->Name,
                              condition->Attribute->__item};
        out->conditions.push_back(std::move(kept));
    }
    for (const types__SearchGroupType* nested : wire->SearchGroup) {
        if (!nested) continue;
        out->groups.emplace_back();
        if (Status problem = SearchGroupFromWire(nested, uri, &out->groups.back())) return problem;
    }
    return std::nullopt;
}

template <class Response>
void SetErrors(struct soap* soap, Response* response, const ServiceError& failure) {
    types__ErrorListType* list = soap_new_types__ErrorListType(soap);
    types__ErrorType* error = soap_new_types__ErrorType(soap);
    if (!list || !error) return;
    error->Code = failure.code;
    if (!failure.uri.empty()) error->InterplayURI = NewString(soap, failure.uri);
    error->Message = failure.message;
    error->Details = failure.details;
    list->Error.push_back(error);
    response->Errors = list;
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
        status = work(service.Tree(), service.User());
    }
    if (status) SetErrors(soap, response, *status);
    service.Record(status);
    return SOAP_OK;
}

// Operations of the service that the simulator does not offer.
int NotSimulated(struct soap* soap, const char* operation) {
    AssetsService& service = AssetsService::Of(soap);
    service.Authenticate(soap, operation, "");
    std::string message = std::string(operation) + " is not available on this server.";
    service.RecordFault(message);
    soap_receiver_fault(soap, message.c_str(), nullptr);
    CZuAssetsEnvelope::SetFaultDetail(soap, kErrorNotSupported, message,
                                      "This server offers the operations of folders, assets, attributes, "
                                      "locators and search.");
    return SOAP_FAULT;
}

} // namespace

AssetsService::AssetsService(AssetTree& tree, std::mutex& treeLock, std::vector<assets_sim::User> users,
                             size_t maxRequestBytes)
    : m_tree(tree), m_treeLock(treeLock), m_users(std::move(users)), m_maxRequestBytes(maxRequestBytes) {}

void AssetsService::Configure(struct soap* soap) {
    soap_set_mode(soap, SOAP_C_UTFSTRING | SOAP_XML_STRICT);
    soap_set_namespaces(soap, ZuAssetsNamespaces());
    soap->user = this;
    soap->bind_flags = SO_REUSEADDR;
    // A peer that goes away must give an error, not SIGPIPE.
    soap->socket_flags = MSG_NOSIGNAL;
    soap->recv_timeout = kIoTimeoutSeconds;
    soap->send_timeout = kIoTimeoutSeconds;
    soap->maxlevel = kMaxXmlDepth;
    soap->recv_maxlength =
        m_maxRequestBytes > SIZE_MAX - kHeaderAllowance ? 0 : m_maxRequestBytes + kHeaderAllowance;
    m_defaultParse = soap->fparse;
    soap->fparse = ParseHeaders;
    m_defaultReceive = soap->frecv;
    soap->frecv = Receive;
    soap->fclosesocket = CloseSocket;
    std::lock_guard<std::mutex> lock(m_connectionLock);
    m_interrupted = false;
}

void AssetsService::Interrupt() {
    std::lock_guard<std::mutex> lock(m_connectionLock);
    m_interrupted = true;
    if (soap_valid_socket(m_connection)) shutdown(m_connection, SHUT_RD);
}

int AssetsService::CloseSocket(struct soap* soap, SOAP_SOCKET socket) {
    AssetsService& service = Of(soap);
    {
        std::lock_guard<std::mutex> lock(service.m_connectionLock);
        if (service.m_connection == socket) service.m_connection = SOAP_INVALID_SOCKET;
    }
    return soap_closesocket(socket);
}

AssetsService& AssetsService::Of(struct soap* soap) { return *static_cast<AssetsService*>(soap->user); }

int AssetsService::ParseHeaders(struct soap* soap) {
    AssetsService& service = Of(soap);
    int code = service.m_defaultParse(soap);
    if (code) return code;
    ++service.m_requests;
    // Refused from the declared length, before the body is read.
    if (soap->length > service.m_maxRequestBytes) return 413;
    // Unless it is chunked, the body ends where its declared length says (no
    // length: no body), whether its XML is complete or not: a request cut
    // short is answered, not waited on.
    if ((soap->imode & SOAP_IO) != SOAP_IO_CHUNK) {
        size_t buffered = soap->buflen - soap->bufidx;
        service.m_bodyLimited = true;
        service.m_bodyLeft = soap->length > buffered ? static_cast<size_t>(soap->length) - buffered : 0;
    }
    return SOAP_OK;
}

size_t AssetsService::Receive(struct soap* soap, char* buffer, size_t size) {
    AssetsService& service = Of(soap);
    if (!service.m_bodyLimited) return service.m_defaultReceive(soap, buffer, size);
    if (service.m_bodyLeft == 0) return 0;
    size_t got = service.m_defaultReceive(soap, buffer, size < service.m_bodyLeft ? size : service.m_bodyLeft);
    service.m_bodyLeft -= got;
    return got;
}

int AssetsService::ServeRequest(struct soap* soap) {
    // The runtime's own serving loop, less its keep-alive, with an answer for
    // every request it can answer: the runtime leaves a body that is no SOAP
    // envelope, or XML that ends before it is complete, without a response.
    if (!soap_begin_recv(soap) && !soap_envelope_begin_in(soap) && !soap_recv_header(soap) &&
        !soap_body_begin_in(soap) && !AssetsSimSoap::soap_serve_request(soap))
        return SOAP_OK;
    int error = soap->error;
    // The answer itself could not be sent: nothing more to say.
    if (m_answering) {
        soap_closesock(soap);
        return error;
    }
    bool readWhole = m_bodyLimited && m_bodyLeft == 0;
    if (error >= SOAP_STOP || (error == SOAP_EOF && readWhole)) {
        if (soap->version == 0) soap->version = 1;  // no envelope was read: answer in SOAP 1.1
        soap_sender_fault(soap, "Malformed request",
                          error == SOAP_EOF ? "The request ended before its XML was complete."
                                            : "The request is not a SOAP envelope.");
    } else if (error == SOAP_EOF) {
        return soap_closesock(soap);  // the peer went away
    }
    // A fault never carries the request's credentials back.
    soap->header = nullptr;
    return soap_send_fault(soap);
}

std::string AssetsService::Serve(struct soap* soap) {
    m_record = RequestRecord();
    m_answering = false;
    m_bodyLimited = false;
    m_bodyLeft = 0;
    {
        std::lock_guard<std::mutex> lock(m_connectionLock);
        m_connection = soap->socket;
        if (m_interrupted) shutdown(m_connection, SHUT_RD);
    }
    size_t before = m_requests.load();
    int code = ServeRequest(soap);
    if (m_answering && code) {
        m_record.outcome += " (the response could not be sent)";
    } else if (m_record.outcome.empty()) {
        if (m_requests.load() == before) {
            m_record.outcome = "no request (connection closed)";
        } else if (code) {
            const char* fault = soap_fault_string(soap);
            m_record.outcome = std::string("fault: ") + (fault && *fault ? fault : "error " + std::to_string(code));
        } else {
            m_record.outcome = "ok";
        }
    }
    soap_closesock(soap);
    {
        std::lock_guard<std::mutex> lock(m_connectionLock);
        m_connection = SOAP_INVALID_SOCKET;
    }
    soap_destroy(soap);
    soap_end(soap);
    return UtcNow() + " " + m_record.user + " " + m_record.operation + " " + m_record.uri + " -> " +
           m_record.outcome;
}

const ServiceError* AssetsService::Authenticate(struct soap* soap, const char* operation, const std::string& uri) {
    m_record.operation = operation;
    m_record.uri = uri.empty() ? "-" : uri;
    std::string name, password;
    bool sent = CZuAssetsEnvelope::GetCredentials(soap, &name, &password);
    // The response carries no header: credentials are never sent back.
    soap->header = nullptr;
    if (!sent) {
        m_authError = ServiceError{kErrorAuthentication, "", "No credentials were sent.",
                                   "Every request needs a UserCredentials header with a user name and password."};
        Record(m_authError);
        return &m_authError;
    }
    for (const assets_sim::User& user : m_users) {
        if (HeaderForm(user.name) == name && HeaderForm(user.password) == password) {
            m_record.user = user.name;
            return nullptr;
        }
    }
    m_record.user = name.empty() ? "-" : Printable(name);
    m_authError = ServiceError{kErrorAuthentication, "", "The user name or password is wrong.",
                               "The server knows no user \"" + Printable(name) +
                                   "\" with that password; check the credentials of the service settings."};
    Record(m_authError);
    return &m_authError;
}

void AssetsService::Record(const Status& status) {
    m_answering = true;
    m_record.outcome = status ? "error " + status->code + ": " + status->message : "ok";
}

void AssetsService::RecordFault(const std::string& message) { m_record.outcome = "fault: " + message; }

std::string AssetsService::HeaderForm(const std::string& utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size(); ++i) {
        unsigned char lead = static_cast<unsigned char>(utf8[i]);
        if ((lead == 0xC2 || lead == 0xC3) && i + 1 < utf8.size() &&
            (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80) {
            out.push_back(static_cast<char>(((lead & 0x1F) << 6) | (utf8[i + 1] & 0x3F)));
            ++i;
        } else {
            out.push_back(utf8[i]);
        }
    }
    return out;
}

std::string AssetsService::Printable(const std::string& header) {
    std::string out;
    for (size_t i = 0; i < header.size();) {
        unsigned char lead = static_cast<unsigned char>(header[i]);
        size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
        bool valid = length > 0 && i + length <= header.size();
        for (size_t k = 1; valid && k < length; ++k)
            valid = (static_cast<unsigned char>(header[i + k]) & 0xC0) == 0x80;
        if (valid && lead >= 0x20 && lead != 0x7F) {
            out.append(header, i, length);
            i += length;
        } else if (lead >= 0x80) {  // a character below 256 on its own
            out.push_back(static_cast<char>(0xC0 | (lead >> 6)));
            out.push_back(static_cast<char>(0x80 | (lead & 0x3F)));
            ++i;
        } else {
            out.push_back('?');
            ++i;
        }
    }
    return out;
}

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
    return assets_sim::Handle(
        soap, "GetChildren", request, response, request ? request->InterplayURI : "",
        [&](AssetTree& tree, const std::string&) {
            assets_sim::ChildFilter filter;
            filter.folders = !request->IncludeFolders || *request->IncludeFolders;
            filter.files = !request->IncludeFiles || *request->IncludeFiles;
            filter.mobs = !request->IncludeMOBs || *request->IncludeMOBs;
            if (request->NameFilter) filter.namePattern = *request->NameFilter;
            std::vector<Description> children;
            Status status = tree.GetChildren(request->InterplayURI, filter,
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
                                  Status status = tree.CheckIn(request->InterplayURI,
                                                               assets_sim::Bytes(&request->File),
                                                               assets_sim::FromWire(request->Attributes), user, &uri);
                                  if (!status) response->InterplayURI = assets_sim::NewString(soap, uri);
                                  return status;
                              });
}

int AssetsSimSoap::__assets__CheckInAAF(struct soap* soap, types__CheckInAAFType* request,
                                        types__CheckInAAFResponseType* response) {
    return assets_sim::Handle(
        soap, "CheckInAAF", request, response, request ? request->InterplayURI : "",
        [&](AssetTree& tree, const std::string& user) {
            std::optional<std::string> headframe;
            if (request->Headframe) headframe = assets_sim::Bytes(request->Headframe);
            std::string uri;
            Status status = tree.CheckInAAF(request->InterplayURI, assets_sim::Bytes(&request->AAF),
                                            std::move(headframe), assets_sim::FromWire(request->Attributes), user,
                                            &uri);
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
                                  Status status = tree.Duplicate(request->InterplayAssetURI,
                                                                 request->InterplayFolderURI,
                                                                 assets_sim::FromWire(request->Attributes), user, &uri);
                                  if (!status) response->InterplayURI = assets_sim::NewString(soap, uri);
                                  return status;
                              });
}

int AssetsSimSoap::__assets__Move(struct soap* soap, types__MoveType* request, types__MoveResponseType* response) {
    return assets_sim::Handle(soap, "Move", request, response, request ? request->InterplayAssetURI : "",
                              [&](AssetTree& tree, const std::string& user) {
                                  return tree.Move(request->InterplayAssetURI, request->InterplayFolderURI, user);
                              });
}

int AssetsSimSoap::__assets__DeleteAssets(struct soap* soap, types__DeleteAssetsType* request,
                                          types__DeleteAssetsResponseType* response) {
    std::vector<std::string> uris = request ? assets_sim::Uris(request->InterplayURIs) : std::vector<std::string>();
    return assets_sim::Handle(
        soap, "DeleteAssets", request, response, assets_sim::FirstOf(uris), [&](AssetTree& tree, const std::string&) {
            assets_sim::DeleteOptions options;
            options.metadata = !request->DeleteMetadata || *request->DeleteMetadata;
            options.media = request->DeleteMedia;
            options.simulation = request->Simulation && *request->Simulation;
            assets_sim::DeleteReport report;
            Status status = tree.DeleteAssets(uris, options, &report);
            if (!status) {
                response->DeletedAssets = assets_sim::ToWire(soap, report.deletedAssets);
                response->DeletedMedia = soap_new_types__MediaDetailsListType(soap);
                for (const std::string& path : report.deletedMedia) {
                    types__MediaDetailsType* media = soap_new_types__MediaDetailsType(soap);
                    if (!media || !response->DeletedMedia) break;
                    media->FilePath = path;
                    response->DeletedMedia->MediaDetails.push_back(media);
                }
            }
            return status;
        });
}

int AssetsSimSoap::__assets__GetAttributes(struct soap* soap, types__GetAttributesType* request,
                                           types__GetAttributesResponseType* response) {
    std::vector<std::string> uris = request ? assets_sim::Uris(request->InterplayURIs) : std::vector<std::string>();
    return assets_sim::Handle(soap, "GetAttributes", request, response, assets_sim::FirstOf(uris),
                              [&](AssetTree& tree, const std::string&) {
                                  std::vector<Description> descriptions;
                                  Status status = tree.GetAttributes(uris, assets_sim::FromWire(request->Attributes),
                                                                     &descriptions);
                                  if (!status) response->Results = assets_sim::ToWire(soap, descriptions);
                                  return status;
                              });
}

int AssetsSimSoap::__assets__SetAttributes(struct soap* soap, types__SetAttributesType* request,
                                           types__SetAttributesResponseType* response) {
    std::vector<std::string> uris = request ? assets_sim::Uris(request->InterplayURIs) : std::vector<std::string>();
    return assets_sim::Handle(soap, "SetAttributes", request, response, assets_sim::FirstOf(uris),
                              [&](AssetTree& tree, const std::string& user) {
                                  return tree.SetAttributes(uris, assets_sim::FromWire(request->Attributes), user);
                              });
}

int AssetsSimSoap::__assets__GetLocators(struct soap* soap, types__GetLocatorsType* request,
                                         types__GetLocatorsResponseType* response) {
    return assets_sim::Handle(
        soap, "GetLocators", request, response, request ? request->InterplayURI : "",
        [&](AssetTree& tree, const std::string&) {
            std::vector<assets_sim::Locator> locators;
            Status status = tree.GetLocators(request->InterplayURI, &locators);
            if (status) return status;
            response->Results = soap_new_types__LocatorListType(soap);
            for (const assets_sim::Locator& locator : locators) {
                types__LocatorType* wire = soap_new_types__LocatorType(soap);
                if (!wire || !response->Results) break;
                wire->LocatorID = soap_new_int(soap);
                wire->FrameNumber = soap_new_LONG64(soap);
                if (wire->LocatorID) *wire->LocatorID = locator.id;
                if (wire->FrameNumber) *wire->FrameNumber = locator.frame;
                wire->Timecode = assets_sim::NewString(soap, locator.timecode);
                wire->Username = assets_sim::NewString(soap, locator.username);
                wire->Comment = locator.comment;
                wire->Color = locator.color;
                wire->Track = locator.track;
                response->Results->Locator.push_back(wire);
            }
            return status;
        });
}

int AssetsSimSoap::__assets__SaveLocators(struct soap* soap, types__SaveLocatorsType* request,
                                          types__SaveLocatorsResponseType* response) {
    return assets_sim::Handle(
        soap, "SaveLocators", request, response, request ? request->InterplayURI : "",
        [&](AssetTree& tree, const std::string& user) {
            std::vector<assets_sim::Locator> locators;
            if (request->Locators) {
                for (const types__LocatorType* wire : request->Locators->Locator) {
                    if (!wire) continue;
                    assets_sim::Locator locator;
                    locator.id = wire->LocatorID ? *wire->LocatorID : 0;
                    locator.frame = wire->FrameNumber ? *wire->FrameNumber : 0;
                    locator.comment = wire->Comment;
                    locator.color = wire->Color;
                    locator.track = wire->Track;
                    locators.push_back(std::move(locator));
                }
            }
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
    return assets_sim::Handle(
        soap, "Search", request, response, request ? request->InterplayPathURI : "",
        [&](AssetTree& tree, const std::string&) {
            assets_sim::SearchGroup group;
            if (request->SearchGroup) {
                if (Status problem =
                        assets_sim::SearchGroupFromWire(request->SearchGroup, request->InterplayPathURI, &group))
                    return problem;
            }
            std::vector<Description> found;
            Status status = tree.Search(request->InterplayPathURI, group,
                                        assets_sim::FromWire(request->ReturnAttributes),
                                        request->MaxResults ? *request->MaxResults : 0, &found);
            if (!status) response->Results = assets_sim::ToWire(soap, found);
            return status;
        });
}

// The service's other operations.

#define ASSETS_SIM_NOT_SIMULATED(Operation, Request, Response)                                              \
    int AssetsSimSoap::__assets__##Operation(struct soap* soap, Request*, Response*) {                     \
        return assets_sim::NotSimulated(soap, #Operation);                                                  \
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
