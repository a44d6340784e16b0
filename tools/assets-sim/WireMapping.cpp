#include "WireMapping.h"

#include <string.h>

using namespace AssetsSimSoap;

namespace assets_sim {

namespace {

Status Unsupported(const std::string& uri, const std::string& what) {
    return ServiceError{kErrorNotSupported, uri, what + " is not supported by this server.",
                        "This server searches by attribute conditions only; leave out " + what + "."};
}

} // namespace

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

std::vector<Locator> FromWire(const types__LocatorListType* list) {
    std::vector<Locator> locators;
    if (!list) return locators;
    for (const types__LocatorType* wire : list->Locator) {
        if (!wire) continue;
        Locator locator;
        locator.id = wire->LocatorID ? *wire->LocatorID : 0;
        locator.frame = wire->FrameNumber ? *wire->FrameNumber : 0;
        locator.comment = wire->Comment;
        locator.color = wire->Color;
        locator.track = wire->Track;
        locators.push_back(std::move(locator));
    }
    return locators;
}

types__LocatorListType* ToWire(struct soap* soap, const std::vector<Locator>& locators) {
    types__LocatorListType* list = soap_new_types__LocatorListType(soap);
    for (const Locator& locator : locators) {
        types__LocatorType* wire = soap_new_types__LocatorType(soap);
        if (!wire || !list) break;
        wire->LocatorID = soap_new_int(soap);
        wire->FrameNumber = soap_new_LONG64(soap);
        if (wire->LocatorID) *wire->LocatorID = locator.id;
        if (wire->FrameNumber) *wire->FrameNumber = locator.frame;
        wire->Timecode = NewString(soap, locator.timecode);
        wire->Username = NewString(soap, locator.username);
        wire->Comment = locator.comment;
        wire->Color = locator.color;
        wire->Track = locator.track;
        list->Locator.push_back(wire);
    }
    return list;
}

types__MediaDetailsListType* MediaToWire(struct soap* soap, const std::vector<std::string>& paths) {
    types__MediaDetailsListType* list = soap_new_types__MediaDetailsListType(soap);
    for (const std::string& path : paths) {
        types__MediaDetailsType* media = soap_new_types__MediaDetailsType(soap);
        if (!media || !list) break;
        media->FilePath = path;
        list->MediaDetails.push_back(media);
    }
    return list;
}

types__ErrorListType* ToWire(struct soap* soap, const ServiceError& failure) {
    types__ErrorListType* list = soap_new_types__ErrorListType(soap);
    types__ErrorType* error = soap_new_types__ErrorType(soap);
    if (!list || !error) return nullptr;
    error->Code = failure.code;
    if (!failure.uri.empty()) error->InterplayURI = NewString(soap, failure.uri);
    error->Message = failure.message;
    error->Details = failure.details;
    list->Error.push_back(error);
    return list;
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

} // namespace assets_sim
