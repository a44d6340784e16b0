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
    {"SYSTEM", "Size", "65536"},  {"USER", "标题", "晚间新闻 第一版"}, {"USER", "Duration", "9.5"},
    {"EXTRA", "Duration", "120"}, {"USER", "Comments", "First Cut"},
};

} // namespace

TEST(SearchFilterTest, ComparesNumbersAsNumbersAndEverythingElseAsCaselessText) {
    EXPECT_TRUE(SearchFilter::Compare("GREATER_THAN", "10", "9"));
    EXPECT_TRUE(SearchFilter::Compare("EQUALS", "1e3", "1000.0"));
    EXPECT_TRUE(SearchFilter::Compare("LESS_THAN", "-2.5", "+1"));
    EXPECT_TRUE(SearchFilter::Compare("LESS_THAN_OR_EQUAL_TO", "7", "7.0"));
    EXPECT_TRUE(SearchFilter::Compare("GREATER_THAN_OR_EQUAL_TO", "7", "7"));
    // Not numbers on both sides: text, so "10" comes before "9a"; hexadecimal,
    // infinities and padded numbers are text too.
    EXPECT_TRUE(SearchFilter::Compare("LESS_THAN", "10", "9a"));
    EXPECT_FALSE(SearchFilter::Compare("EQUALS", "0x10", "16"));
    EXPECT_FALSE(SearchFilter::Compare("EQUALS", "inf", "INFINITY"));
    EXPECT_FALSE(SearchFilter::Compare("EQUALS", " 5", "5"));
    EXPECT_TRUE(SearchFilter::Compare("EQUALS", "First Cut", "first cut"));
    EXPECT_TRUE(SearchFilter::Compare("LESS_THAN", "abc", "ABD"));
    EXPECT_TRUE(SearchFilter::Compare("LESS_THAN", "新", "闻"));
    EXPECT_FALSE(SearchFilter::Compare("EQUALS", "É", "é")); // only ASCII letters fold
    EXPECT_TRUE(SearchFilter::Compare("CONTAINS", "晚间新闻 第一版", "新闻"));
    EXPECT_TRUE(SearchFilter::Compare("CONTAINS", "First Cut", "CUT"));
    EXPECT_TRUE(SearchFilter::Compare("CONTAINS", "1000", "00"));
}

TEST(SearchFilterTest, ConditionsPickAttributesByNameAndByGroupWhenGiven) {
    EXPECT_TRUE(SearchFilter::Matches(Condition("CONTAINS", "标题", "新闻"), kClip));
    EXPECT_TRUE(SearchFilter::Matches(Condition("CONTAINS", "标题", "新闻", "USER"), kClip));
    EXPECT_FALSE(SearchFilter::Matches(Condition("CONTAINS", "标题", "新闻", "SYSTEM"), kClip));
    EXPECT_FALSE(SearchFilter::Matches(Condition("EQUALS", "comments", "First Cut"), kClip));
    // Any attribute of the name may satisfy it: Duration is 9.5 in one group, 120 in another.
    EXPECT_TRUE(SearchFilter::Matches(Condition("GREATER_THAN", "Duration", "100"), kClip));
    EXPECT_FALSE(SearchFilter::Matches(Condition("GREATER_THAN", "Duration", "100", "USER"), kClip));
    // The negations hold exactly when their positive form does not, also for
    // an item that lacks the attribute.
    EXPECT_FALSE(SearchFilter::Matches(Condition("NOT_EQUALS", "Duration", "120"), kClip));
    EXPECT_TRUE(SearchFilter::Matches(Condition("NOT_EQUALS", "Duration", "120", "USER"), kClip));
    EXPECT_TRUE(SearchFilter::Matches(Condition("NOT_CONTAINS", "Missing", "x"), kClip));
    EXPECT_FALSE(SearchFilter::Matches(Condition("EQUALS", "Missing", ""), kClip));
}

TEST(SearchFilterTest, GroupsCombineByOperatorNegationAndNesting) {
    SearchGroup group;
    group.conditions = {Condition("CONTAINS", "标题", "新闻"), Condition("EQUALS", "Comments", "second cut")};
    EXPECT_FALSE(SearchFilter::Matches(group, kClip)); // no operator: AND
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
    SearchGroup empty; // no conditions: everything, whatever the operator
    empty.op = "OR";
    EXPECT_TRUE(SearchFilter::Matches(empty, {}));

    outer.op = "XOR";
    Status problem = SearchFilter::Validate(outer);
    ASSERT_TRUE(problem);
    EXPECT_NE(problem->message.find("XOR"), std::string::npos);
    outer.op = "Or";
    outer.groups[0].conditions.push_back(Condition("equals", "Name", "x")); // comparisons are upper case
    EXPECT_TRUE(SearchFilter::Validate(outer));
    outer.groups[0].conditions.back() = Condition("EQUALS", "", "x");
    EXPECT_TRUE(SearchFilter::Validate(outer));
    outer.groups[0].conditions.pop_back();
    EXPECT_FALSE(SearchFilter::Validate(outer));
}

TEST(SearchFilterTest, NamePatternsMatchWholeCharacters) {
    EXPECT_TRUE(SearchFilter::MatchesPattern("*", ""));
    EXPECT_TRUE(SearchFilter::MatchesPattern("??新闻.*", "晚间新闻.aaf")); // ? is a character, not a byte
    EXPECT_FALSE(SearchFilter::MatchesPattern("?新闻.*", "晚间新闻.aaf"));
    EXPECT_TRUE(SearchFilter::MatchesPattern("CLIP_*.AAF", "clip_01.aaf"));
    EXPECT_FALSE(SearchFilter::MatchesPattern("clip", "clip_01"));
    EXPECT_FALSE(SearchFilter::MatchesPattern("a*b*c", "axxbyy"));
    EXPECT_FALSE(SearchFilter::MatchesPattern("\xE6", "新")); // truncated characters
    EXPECT_FALSE(SearchFilter::MatchesPattern("新", "\xE6\x96"));

    std::string pattern, name(20000, 'a');
    for (int i = 0; i < 200; ++i) pattern += "*a";
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(SearchFilter::MatchesPattern(pattern + "b", name));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}
