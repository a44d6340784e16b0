// The rules by which searches and listings pick folders and assets: attribute
// conditions and their groups, name patterns, and the attribute selections of
// ReturnAttributes.
//
// Comparisons: when both the stored value and the condition's value are
// decimal numbers ("12", "-3.5", "1e3") they are compared as numbers, else as
// text, with ASCII letters compared without regard to case and everything else
// by Unicode code point. CONTAINS is a substring test on text. An attribute
// condition holds when any attribute of the condition's name (and group, when
// the condition names one) satisfies the comparison; NOT_EQUALS and
// NOT_CONTAINS hold exactly when EQUALS and CONTAINS do not, so they also hold
// for an item without such an attribute.
#ifndef ASSETS_SIM_SEARCH_FILTER_H
#define ASSETS_SIM_SEARCH_FILTER_H

#include <string>

#include "AssetModel.h"

namespace assets_sim {

class SearchFilter {
public:
    // The first problem of a search group (unknown operator or comparison, a
    // condition without attribute name), or none.
    static Status Validate(const SearchGroup& group);

    // Whether an item with these attributes satisfies a validated group. The
    // group's conditions and nested groups are combined by its operator (AND
    // when empty); a group without any holds for everything.
    static bool Matches(const SearchGroup& group, const AttributeList& attributes);
    static bool Matches(const AttributeCondition& condition, const AttributeList& attributes);

    // One comparison of a stored value with the wanted one.
    static bool Compare(const std::string& comparison, const std::string& stored, const std::string& wanted);

    // Whether name matches pattern: '*' stands for any run of characters, '?'
    // for one character; ASCII letters match without regard to case.
    static bool MatchesPattern(const std::string& pattern, const std::string& name);

    // Whether attribute is among the wanted ones (same name, and same group
    // when the wanted entry has one). An empty selection selects everything.
    static bool Selected(const Attribute& attribute, const AttributeList& wanted);
};

} // namespace assets_sim

#endif // ASSETS_SIM_SEARCH_FILTER_H
