#include "SearchFilter.h"

#include <charconv>
#include <optional>

namespace assets_sim {

namespace {

const char* const kComparisons[] = {
    "EQUALS",
    "NOT_EQUALS",
    "CONTAINS",
    "NOT_CONTAINS",
    "LESS_THAN",
    "GREATER_THAN",
    "LESS_THAN_OR_EQUAL_TO",
    "GREATER_THAN_OR_EQUAL_TO",
};

char Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Folded(const std::string& text) {
    std::string out(text);
    for (char& c : out) c = Fold(c);
    return out;
}

bool SameWord(const std::string& a, const char* b) { return Folded(a) == Folded(b); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A plain decimal number: optional sign, digits with an optional fraction,
// optional exponent. No spaces, no hexadecimal, no infinities.
std::optional<double> Number(const std::string& text) {
    size_t i = 0, n = text.size();
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    size_t digits = 0;
    while (i < n && IsDigit(text[i])) ++i, ++digits;
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && IsDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return std::nullopt;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
        size_t exponent = 0;
        while (i < n && IsDigit(text[i])) ++i, ++exponent;
        if (exponent == 0) return std::nullopt;
    }
    if (i != n) return std::nullopt;
    const char* begin = text.data() + (text[0] == '+' ? 1 : 0);
    double value = 0;
    std::from_chars_result parsed = std::from_chars(begin, text.data() + n, value);
    if (parsed.ec != std::errc() || parsed.ptr != text.data() + n) return std::nullopt;
    return value;
}

// -1, 0 or 1 as stored is below, equal to or above wanted.
int Order(const std::string& stored, const std::string& wanted) {
    std::optional<double> a = Number(stored), b = Number(wanted);
    if (a && b) return *a < *b ? -1 : (*a > *b ? 1 : 0);
    int c = Folded(stored).compare(Folded(wanted));
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// Length of the UTF-8 sequence that starts with lead (1 for stray bytes).
size_t CharLength(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8) return 4;
    if (lead >= 0xE0) return lead < 0xF0 ? 3 : 1;
    if (lead >= 0xC0) return 2;
    return 1;
}

// Whether the character at pattern[p] equals the one at name[n]; their
// lengths in *patternLength and *nameLength.
bool SameChar(const std::string& pattern, size_t p, const std::string& name, size_t n, size_t* patternLength,
              size_t* nameLength) {
    *patternLength = CharLength(static_cast<unsigned char>(pattern[p]));
    *nameLength = CharLength(static_cast<unsigned char>(name[n]));
    if (*patternLength != *nameLength) return false;
    for (size_t k = 0; k < *patternLength; ++k) {
        if (p + k >= pattern.size() || n + k >= name.size() || Fold(pattern[p + k]) != Fold(name[n + k]))
            return false;
    }
    return true;
}

ServiceError Invalid(const std::string& message, const std::string& details) {
    return ServiceError{kErrorInvalidArgument, "", message, details};
}

} // namespace

Status SearchFilter::Validate(const SearchGroup& group) {
    if (!group.op.empty() && !SameWord(group.op, "AND") && !SameWord(group.op, "OR"))
        return Invalid("The search operator \"" + group.op + "\" is unknown.",
                       "A search group combines its conditions with AND or OR.");
    for (const AttributeCondition& condition : group.conditions) {
        bool known = false;
        for (const char* name : kComparisons) known = known || condition.comparison == name;
        if (!known)
            return Invalid("The search condition \"" + condition.comparison + "\" is unknown.",
                           "Conditions are EQUALS, NOT_EQUALS, CONTAINS, NOT_CONTAINS, LESS_THAN, "
                           "GREATER_THAN, LESS_THAN_OR_EQUAL_TO or GREATER_THAN_OR_EQUAL_TO.");
        if (condition.attribute.name.empty())
            return Invalid("A search condition names no attribute.",
                           "Every attribute condition needs the name of the attribute it tests.");
    }
    for (const SearchGroup& nested : group.groups) {
        if (Status problem = Validate(nested)) return problem;
    }
    return std::nullopt;
}

bool SearchFilter::Matches(const SearchGroup& group, const AttributeList& attributes) {
    bool any = SameWord(group.op, "OR");
    bool result = !any;
    bool empty = true;
    auto take = [&](bool holds) {
        empty = false;
        result = any ? (result || holds) : (result && holds);
    };
    for (const AttributeCondition& condition : group.conditions) take(Matches(condition, attributes));
    for (const SearchGroup& nested : group.groups) take(Matches(nested, attributes));
    if (empty) result = true;
    return group.negated ? !result : result;
}

bool SearchFilter::Matches(const AttributeCondition& condition, const AttributeList& attributes) {
    std::string comparison = condition.comparison;
    bool negate = false;
    if (comparison == "NOT_EQUALS") {
        comparison = "EQUALS";
        negate = true;
    } else if (comparison == "NOT_CONTAINS") {
        comparison = "CONTAINS";
        negate = true;
    }
    bool any = false;
    for (const Attribute& attribute : attributes) {
        if (attribute.name != condition.attribute.name) continue;
        if (!condition.attribute.group.empty() && attribute.group != condition.attribute.group) continue;
        if (Compare(comparison, attribute.value, condition.attribute.value)) {
            any = true;
            break;
        }
    }
    return negate ? !any : any;
}

bool SearchFilter::Compare(const std::string& comparison, const std::string& stored,
                           const std::string& wanted) {
    if (comparison == "CONTAINS") return Folded(stored).find(Folded(wanted)) != std::string::npos;
    if (comparison == "NOT_CONTAINS") return !Compare("CONTAINS", stored, wanted);
    int order = Order(stored, wanted);
    if (comparison == "EQUALS") return order == 0;
    if (comparison == "NOT_EQUALS") return order != 0;
    if (comparison == "LESS_THAN") return order < 0;
    if (comparison == "GREATER_THAN") return order > 0;
    if (comparison == "LESS_THAN_OR_EQUAL_TO") return order <= 0;
    if (comparison == "GREATER_THAN_OR_EQUAL_TO") return order >= 0;
    return false;
}

bool SearchFilter::MatchesPattern(const std::string& pattern, const std::string& name) {
    // Greedy, going back only to the last '*': linear in practice, never
    // exponential.
    const size_t none = std::string::npos;
    size_t p = 0, n = 0, starP = none, starN = 0;
    while (n < name.size()) {
        size_t patternLength = 0, nameLength = 0;
        if (p < pattern.size() && pattern[p] == '*') {
            starP = ++p;
            starN = n;
        } else if (p < pattern.size() && pattern[p] == '?') {
            ++p;
            n += CharLength(static_cast<unsigned char>(name[n]));
        } else if (p < pattern.size() && SameChar(pattern, p, name, n, &patternLength, &nameLength)) {
            p += patternLength;
            n += nameLength;
        } else if (starP != none) {
            p = starP;
            starN += CharLength(static_cast<unsigned char>(name[starN]));
            n = starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p >= pattern.size();
}

bool SearchFilter::Selected(const Attribute& attribute, const AttributeList& wanted) {
    if (wanted.empty()) return true;
    for (const Attribute& entry : wanted) {
        if (entry.name == attribute.name && (entry.group.empty() || entry.group == attribute.group))
            return true;
    }
    return false;
}

} // namespace assets_sim
