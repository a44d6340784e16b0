// Between the service's messages and the simulator's model: what a request
// carries, read into the model's types, and the model's results written as
// the response's elements. Everything written lives on the context's heap;
// a null result means the context ran out of memory.
#ifndef ASSETS_SIM_WIRE_MAPPING_H
#define ASSETS_SIM_WIRE_MAPPING_H

#include <string>
#include <vector>

#include "AssetModel.h"
#include "AssetsSimSoapH.h"

namespace assets_sim {

// A copy of text on the context's heap.
std::string* NewString(struct soap* soap, const std::string& text);

// The bytes of a binary element (none when it is missing), and bytes as one.
std::string Bytes(const AssetsSimSoap::xsd__base64Binary* binary);
AssetsSimSoap::xsd__base64Binary* ToBinary(struct soap* soap, const std::string& bytes);

// Attribute lists, both ways; a missing list reads as an empty one.
AttributeList FromWire(const AssetsSimSoap::types__AttributeListType* list);
AssetsSimSoap::types__AttributeListType* ToWire(struct soap* soap, const AttributeList& attributes);

// Asset descriptions with their attributes.
AssetsSimSoap::types__AssetDescriptionListType* ToWire(struct soap* soap,
                                                       const std::vector<Description>& descriptions);

// URI lists, both ways; a missing list reads as an empty one.
std::vector<std::string> Uris(const AssetsSimSoap::types__InterplayURIListType* list);
AssetsSimSoap::types__InterplayURIListType* ToWire(struct soap* soap, const std::vector<std::string>& uris);

// Locators, both ways. Read, a locator keeps its ID, frame, comment, colour
// and track; written, it also carries its timecode and user name. A list
// written short of memory keeps the locators written so far.
std::vector<Locator> FromWire(const AssetsSimSoap::types__LocatorListType* list);
AssetsSimSoap::types__LocatorListType* ToWire(struct soap* soap, const std::vector<Locator>& locators);

// The media files a deletion removed, by path; short of memory, as above.
AssetsSimSoap::types__MediaDetailsListType* MediaToWire(struct soap* soap,
                                                        const std::vector<std::string>& paths);

// A failure as the one types:Error of an error list.
AssetsSimSoap::types__ErrorListType* ToWire(struct soap* soap, const ServiceError& failure);

// A search group with its nested groups. Only attribute conditions are
// searched by: a category, file-in-use or resolution condition is an error
// about uri.
Status SearchGroupFromWire(const AssetsSimSoap::types__SearchGroupType* wire, const std::string& uri,
                           SearchGroup* out);

} // namespace assets_sim

#endif // ASSETS_SIM_WIRE_MAPPING_H
