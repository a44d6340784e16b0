// The matching rules of searches and listings.
#include "SearchFilter.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace assets_sim;

namespace {

AttributeCondition Condition(const std::string& comparison, const std::string& name, const std::string& value,
                             const std::string& group = "") {
    return AttributeCondition{comparison, {group, name, value}};
}

const AttributeList kClip = {
    {"SYSTEM", "Name", "晚间新闻"},
    {"SYSTEM", "Size", "65536"},
    {"USER", "标题", "晚间新闻 第一版"},
    {"USER", "Duration", "9.5"},
    {"EXTRA", "Duration", "120"},
    {"USER", "Comments", "First Cut"},
};

} // namespace

TEST(SearchFilterTest, ComparesNumbersAsNumbersAndEverythingElseAsCaselessText) {
    // Numbers: by value, whatever their spelling.
    EXPECT_TRUE(SearchFilter::Compare("GREATER_THAN", "10", "9"));
    EXPECT_TRUE(SearchFilter::Compare("EQUALS", "1e3", "1000.0"));
    EXPECT_TRUE(SearchFilter::Compare("LESS_THAN", "-2.5", "+1"));
    EXPECT_TRUE(SearchFilter::Compare("LESS_THAN_OR_EQUAL_TO", "7", "7.0"));
    EXPECT_TRUE(SearchFilter::Compare("GREATER_THAN_OR_EQUAL_TO", "7", "7"));
    // Not numbers: by text, so "10" comes before "9a", and hexadecimal,
    // infinities and padded numbers are text too.
    EXPECT_TRUE(SearchFilter::Compare("LESS_THAN", "10", "9a"));
    EXPECT_FALSE(SearchFilter::Compare("EQUALS", "0x10", "16"));
    EXPECT_FALSE(SearchFilter::Compare("EQUALS", "inf", "INFINITY"));
    EXPECT_FALSE(SearchFilter::Compare("EQUALS", " 5", "5"));
    // ASCII letters without regard to case, other characters by code point.
    EXPECT_TRUE(SearchFilter::Compare("EQUALS", "First Cut", "first cut"));
    EXPECT_TRUE(SearchFilter::Compare("LESS_THAN", "abc", "ABD"));
    EXPECT_TRUE(SearchFilter::Compare("LESS_THAN", "新", "闻"));
    EXPECT_FALSE(SearchFilter::Compare("EQUALS", "É", "é"));
    EXPECT_TRUE(SearchFilter::Compare("NOT_EQUALS", "a", "b"));
    // Containment is always textual.
    EXPECT_TRUE(SearchFilter::Compare("CONTAINS", "晚间新闻 第一版", "新闻"));
    EXPECT_TRUE(SearchFilter::Compare("CONTAINS", "First Cut", "CUT"));
    EXPECT_TRUE(SearchFilter::Compare("CONTAINS", "anything", ""));
    EXPECT_TRUE(SearchFilter::Compare("CONTAINS", "1000", "00"));
    EXPECT_TRUE(SearchFilter::Compare("NOT_CONTAINS", "First Cut", "second"));
}

TEST(SearchFilterTest, ConditionsPickAttributesByNameAndByGroupWhenGiven) {
    EXPECT_TRUE(SearchFilter::Matches(Condition("CONTAINS", "标题", "新闻"), kClip));
    EXPECT_TRUE(SearchFilter::Matches(Condition("CONTAINS", "标题", "新闻", "USER"), kClip));
    EXPECT_FALSE(SearchFilter::Matches(Condition("CONTAINS", "标题", "新闻", "SYSTEM"), kClip));
    // Names are exact.
    EXPECT_FALSE(SearchFilter::Matches(Condition("EQUALS", "comments", "First Cut"), kClip));
    // Any attribute of the name may satisfy it: Duration is 9.5 in one group
    // and 120 in another.
    EXPECT_TRUE(SearchFilter::Matches(Condition("GREATER_THAN", "Duration", "100"), kClip));
    EXPECT_FALSE(SearchFilter::Matches(Condition("GREATER_THAN", "Duration", "100", "USER"), kClip));
    EXPECT_TRUE(SearchFilter::Matches(Condition("LESS_THAN", "Size", "100000", "SYSTEM"), kClip));
    // The negations hold exactly when their positive form does not, also for
    // an item that lacks the attribute.
    EXPECT_FALSE(SearchFilter::Matches(Condition("NOT_EQUALS", "Duration", "120"), kClip));
    EXPECT_TRUE(SearchFilter::Matches(Condition("NOT_EQUALS", "Duration", "120", "USER"), kClip));
    EXPECT_FALSE(SearchFilter::Matches(Condition("NOT_CONTAINS", "标题", "新闻"), kClip));
    EXPECT_TRUE(SearchFilter::Matches(Condition("NOT_CONTAINS", "Missing", "x"), kClip));
    EXPECT_FALSE(SearchFilter::Matches(Condition("EQUALS", "Missing", ""), kClip));
}

TEST(SearchFilterTest, GroupsCombineByTheirOperatorNegationAndNesting) {
    SearchGroup group;
    group.conditions = {Condition("CONTAINS", "标题", "新闻"), Condition("EQUALS", "Comments", "second cut")};
    group.op = "AND";
    EXPECT_FALSE(SearchFilter::Matches(group, kClip));
    group.op = "";  // AND too
    EXPECT_FALSE(SearchFilter::Matches(group, kClip));
    group.op = "or";
    EXPECT_TRUE(SearchFilter::Matches(group, kClip));
    group.negated = true;
    EXPECT_FALSE(SearchFilter::Matches(group, kClip));

    // (Comments = second cut) OR NOT (Size > 1e6 AND 标题 contains 新闻)
    SearchGroup nested;
    nested.op = "AND";
    nested.negated = true;
    nested.conditions = {Condition("GREATER_THAN", "Size", "1e6"), Condition("CONTAINS", "标题", "新闻")};
    SearchGroup outer;
    outer.op = "OR";
    outer.conditions = {Condition("EQUALS", "Comments", "second cut")};
    outer.groups = {nested};
    EXPECT_TRUE(SearchFilter::Matches(outer, kClip));

    // No conditions: everything, whatever the operator.
    for (const char* op : {"", "AND", "OR"}) {
        SearchGroup empty;
        empty.op = op;
        EXPECT_TRUE(SearchFilter::Matches(empty, kClip)) << op;
        EXPECT_TRUE(SearchFilter::Matches(empty, {})) << op;
    }
}

TEST(SearchFilterTest, ValidationNamesTheFirstProblemAnywhereInTheGroup) {
    SearchGroup good;
    good.op = "Or";
    good.conditions = {Condition("GREATER_THAN_OR_EQUAL_TO", "Size", "1")};
    EXPECT_FALSE(SearchFilter::Validate(good));

    SearchGroup badOperator = good;
    badOperator.op = "XOR";
    Status problem = SearchFilter::Validate(badOperator);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->code, kErrorInvalidArgument);
    EXPECT_NE(problem->message.find("XOR"), std::string::npos);

    SearchGroup badComparison = good;
    badComparison.conditions.push_back(Condition("LIKE", "Name", "x"));
    problem = SearchFilter::Validate(badComparison);
    ASSERT_TRUE(problem);
    EXPECT_NE(problem->message.find("LIKE"), std::string::npos);
    EXPECT_NE(problem->details.find("NOT_CONTAINS"), std::string::npos);

    SearchGroup deep = good;
    SearchGroup inner;
    inner.conditions = {Condition("equals", "Name", "x")};  // comparisons are upper case
    deep.groups = {good, inner};
    EXPECT_TRUE(SearchFilter::Validate(deep));

    SearchGroup noName = good;
    noName.conditions = {Condition("EQUALS", "", "x")};
    EXPECT_TRUE(SearchFilter::Validate(noName));
}

TEST(SearchFilterTest, NamePatternsMatchWholeCharacters) {
    EXPECT_TRUE(SearchFilter::MatchesPattern("*", ""));
    EXPECT_TRUE(SearchFilter::MatchesPattern("*新闻*", "晚间新闻.aaf"));
    EXPECT_TRUE(SearchFilter::MatchesPattern("??新闻.*", "晚间新闻.aaf"));  // ? is one character, not one byte
    EXPECT_FALSE(SearchFilter::MatchesPattern("?新闻.*", "晚间新闻.aaf"));
    EXPECT_TRUE(SearchFilter::MatchesPattern("CLIP_*.AAF", "clip_01.aaf"));
    EXPECT_FALSE(SearchFilter::MatchesPattern("clip", "clip_01"));
    EXPECT_TRUE(SearchFilter::MatchesPattern("a*b*c", "axxbyyc"));
    EXPECT_FALSE(SearchFilter::MatchesPattern("a*b*c", "axxbyy"));
    // A truncated character at the end of either side is no crash.
    EXPECT_FALSE(SearchFilter::MatchesPattern("\xE6", "新"));
    EXPECT_FALSE(SearchFilter::MatchesPattern("新", "\xE6\x96"));

    // Many stars against a long near-miss finish quickly.
    std::string pattern, name(20000, 'a');
    for (int i = 0; i < 200; ++i) pattern += "*a";
    pattern += "b";
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(SearchFilter::MatchesPattern(pattern, name));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(SearchFilterTest, SelectionsPickByNameAndGroupWhenGiven) {
    Attribute title{"USER", "标题", "x"};
    EXPECT_TRUE(SearchFilter::Selected(title, {}));
    EXPECT_TRUE(SearchFilter::Selected(title, {{"", "标题", ""}}));
    EXPECT_TRUE(SearchFilter::Selected(title, {{"SYSTEM", "Name", ""}, {"USER", "标题", ""}}));
    EXPECT_FALSE(SearchFilter::Selected(title, {{"SYSTEM", "标题", ""}}));
    EXPECT_FALSE(SearchFilter::Selected(title, {{"", "Name", ""}}));
}
