// Value types of the simulated Assets service, free of any wire format: what
// the tree stores, what its operations take and hand back, and how a failed
// request is reported. All text is UTF-8.
#ifndef ASSETS_SIM_ASSET_MODEL_H
#define ASSETS_SIM_ASSET_MODEL_H

#include <stdint.h>

#include <optional>
#include <string>
#include <vector>

namespace assets_sim {

// The group of the attributes the server keeps itself.
inline const char kSystemGroup[] = "SYSTEM";
// The group an attribute sent without one is stored in.
inline const char kUserGroup[] = "USER";

struct Attribute {
    std::string group;
    std::string name;
    std::string value;
};
using AttributeList = std::vector<Attribute>;

// A mark on an asset's timeline.
struct Locator {
    int id = 0;
    int64_t frame = 0;
    std::string timecode;
    std::string username;
    std::string comment;
    std::string color;
    std::string track;
};

// A folder or asset as listings, searches and attribute reads report it.
struct Description {
    std::string uri;
    AttributeList attributes;
};

// A failed request, as the service reports it in its error list. Message and
// details are whole sentences meant for the user.
struct ServiceError {
    std::string code;
    std::string uri;
    std::string message;
    std::string details;
};

// Error codes.
inline const char kErrorAuthentication[] = "AUTHENTICATION_FAILED";
inline const char kErrorNotFound[] = "NOT_FOUND";
inline const char kErrorAlreadyExists[] = "ALREADY_EXISTS";
inline const char kErrorWrongKind[] = "WRONG_KIND";
inline const char kErrorInvalidArgument[] = "INVALID_ARGUMENT";
inline const char kErrorNotSupported[] = "NOT_SUPPORTED";
inline const char kErrorNoHeadframe[] = "NO_HEADFRAME";
inline const char kErrorNoMedia[] = "NO_MEDIA";
inline const char kErrorReadOnly[] = "READ_ONLY_ATTRIBUTE";

// Outcome of an operation that hands back its results through out-parameters:
// empty on success, else the failure.
using Status = std::optional<ServiceError>;

// One attribute condition of a search: a comparison (EQUALS, NOT_EQUALS,
// CONTAINS, NOT_CONTAINS, LESS_THAN, GREATER_THAN, LESS_THAN_OR_EQUAL_TO,
// GREATER_THAN_OR_EQUAL_TO) of the attributes of that name (and group, when
// the group is not empty) with the value.
struct AttributeCondition {
    std::string comparison;
    Attribute attribute;
};

// Conditions combined by an operator, "AND" or "OR" (empty: AND), possibly
// negated, with nested groups.
struct SearchGroup {
    std::string op;
    bool negated = false;
    std::vector<AttributeCondition> conditions;
    std::vector<SearchGroup> groups;
};

// What DeleteAssets reports.
struct DeleteReport {
    std::vector<std::string> deletedAssets;
    std::vector<std::string> deletedMedia;
};

struct DeleteOptions {
    bool metadata = true;
    bool media = false;
    bool simulation = false;
};

// Which children GetChildren lists.
struct ChildFilter {
    bool folders = true;
    bool files = true;
    bool mobs = true;
    // '*' and '?' wildcards, matched against the child's name; empty: all.
    std::string namePattern;
};

} // namespace assets_sim

#endif // ASSETS_SIM_ASSET_MODEL_H
