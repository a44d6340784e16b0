// The simulated workgroup's semantics, without the wire.
#include "AssetTree.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

using namespace assets_sim;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

const std::string kRoot = "interplay://Workgroup";
const std::string kProjects = kRoot + "/Projects";
const std::string kNews = kProjects + "/新闻";
const std::string kArchive = kProjects + "/归档";

std::string Value(const AttributeList& attributes, const std::string& group, const std::string& name) {
    for (const Attribute& a : attributes) {
        if (a.group == group && a.name == name) return a.value;
    }
    return "<none>";
}

class AssetTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(tree.CreateFolder(kNews, "editor"));
        ASSERT_FALSE(tree.CreateFolder(kArchive, "editor"));
    }

    // A sequence in kNews with a headframe, named by its Name attribute.
    std::string Sequence(const std::string& name, AttributeList attributes = {}) {
        if (!name.empty()) attributes.push_back({"USER", "Name", name});
        std::string uri;
        EXPECT_FALSE(tree.CheckInAAF(kNews, "AAF:" + name, std::string("JPEG"), attributes, "editor", &uri));
        return uri;
    }
    AttributeList Attributes(const std::string& uri) {
        std::vector<Description> out;
        EXPECT_FALSE(tree.GetAttributes({uri}, {}, &out));
        return out.empty() ? AttributeList() : out[0].attributes;
    }
    std::string Name(const std::string& uri) { return Value(Attributes(uri), "SYSTEM", "Name"); }
    std::vector<std::string> Names(const ChildFilter& filter) {
        std::vector<Description> out;
        EXPECT_FALSE(tree.GetChildren(kNews, filter, {}, &out));
        std::vector<std::string> names;
        for (const Description& d : out) names.push_back(Value(d.attributes, "SYSTEM", "Name"));
        return names;
    }

    AssetTree tree;
};

} // namespace

TEST_F(AssetTreeTest, FoldersNeedAnExistingParentAndAFreeValidName) {
    AssetTree fresh;
    EXPECT_TRUE(fresh.Exists(kRoot + "/"));
    EXPECT_TRUE(fresh.Exists(kProjects));
    EXPECT_EQ(fresh.Count(), 2u);

    EXPECT_FALSE(tree.CreateFolder(kNews + "/晚间/", "editor")); // a trailing slash is no part of the name
    EXPECT_EQ(Value(Attributes(kNews + "/晚间"), "SYSTEM", "Creator"), "editor");
    EXPECT_EQ(tree.CreateFolder(kNews, "editor")->code, kErrorAlreadyExists);
    Status orphan = tree.CreateFolder(kProjects + "/无/有", "editor");
    ASSERT_TRUE(orphan);
    EXPECT_EQ(orphan->code, kErrorNotFound);
    EXPECT_THAT(orphan->message, HasSubstr("parent folder \"" + kProjects + "/无\""));
    for (const std::string& bad : {kProjects + "//x", kProjects + "/..", std::string("interplay://Other/x"),
                                   kProjects + "/a\tb", std::string("")})
        EXPECT_TRUE(tree.CreateFolder(bad, "editor")) << bad;
    Sequence("片头");
    EXPECT_EQ(tree.CreateFolder(kNews + "/片头/子", "editor")->code, kErrorWrongKind);
    EXPECT_EQ(tree.Count(), 6u);
}

TEST_F(AssetTreeTest, ListsFoldersFirstThenAssetsByNameHonouringKindsAndPattern) {
    std::string file;
    ASSERT_FALSE(tree.CheckIn(kNews + "/notes.txt", "text", {}, "editor", &file));
    Sequence("b-roll");
    Sequence("A-roll");
    ASSERT_FALSE(tree.CreateFolder(kNews + "/Zeta", "editor"));
    ASSERT_FALSE(tree.CreateFolder(kNews + "/alpha", "editor"));
    EXPECT_THAT(Names({}), ElementsAre("Zeta", "alpha", "A-roll", "b-roll", "notes.txt"));
    EXPECT_THAT(Names({true, false, false, ""}), ElementsAre("Zeta", "alpha"));
    EXPECT_THAT(Names({false, true, false, ""}), ElementsAre("notes.txt"));
    EXPECT_THAT(Names({false, false, true, "*-ROLL"}), ElementsAre("A-roll", "b-roll"));

    std::vector<Description> some;
    ASSERT_FALSE(tree.GetChildren(kNews, {}, {{"", "Type", ""}}, &some));
    EXPECT_EQ(some[0].uri, kNews + "/Zeta"); // folders by path, assets by asset URI
    EXPECT_EQ(some[4].uri, file);
    ASSERT_EQ(some[4].attributes.size(), 1u);
    EXPECT_EQ(some[4].attributes[0].value, "file");
    EXPECT_EQ(tree.GetChildren(file, {}, {}, &some)->code, kErrorWrongKind);
}

TEST_F(AssetTreeTest, CheckInKeepsBytesAndMakesVersionsAtTheSamePath) {
    std::string uri, again, bytes;
    ASSERT_FALSE(tree.CheckIn(
        kNews + "/脚本.txt", std::string("v1\0x", 4),
        {{"USER", "标题", "脚本"}, {"", "Draft", "yes"}, {"SYSTEM", "Creator", "mallory"}}, "editor", &uri));
    ASSERT_EQ(uri.rfind(kRoot + "?mobid=", 0), 0u) << uri;
    EXPECT_EQ(uri.find_first_not_of("0123456789abcdef", kRoot.size() + 7), std::string::npos) << uri;
    EXPECT_EQ(uri.size(), kRoot.size() + 7 + 32) << uri;
    std::string upper = uri;
    for (size_t i = uri.find('=') + 1; i < upper.size(); ++i) upper[i] = static_cast<char>(toupper(upper[i]));
    EXPECT_TRUE(tree.Exists(upper));
    ASSERT_FALSE(tree.GetLatest(kNews + "/脚本.txt", &bytes));
    EXPECT_EQ(bytes, std::string("v1\0x", 4));
    AttributeList attributes = Attributes(uri);
    EXPECT_EQ(Value(attributes, "USER", "Draft"), "yes");        // no group: USER
    EXPECT_EQ(Value(attributes, "SYSTEM", "Creator"), "editor"); // the server's, not the client's
    EXPECT_EQ(Value(attributes, "SYSTEM", "Size"), "4");

    ASSERT_FALSE(tree.CheckIn(uri, "v2", {{"USER", "Draft", "no"}}, "editor", &again));
    EXPECT_EQ(again, uri);
    ASSERT_FALSE(tree.GetLatest(uri, &bytes));
    EXPECT_EQ(bytes, "v2");
    attributes = Attributes(uri);
    EXPECT_EQ(Value(attributes, "SYSTEM", "Version"), "2");
    EXPECT_EQ(Value(attributes, "USER", "Draft"), "no");
    EXPECT_EQ(Value(attributes, "USER", "标题"), "脚本");
    EXPECT_EQ(tree.GetHeadframe(uri, &bytes)->code, kErrorNoHeadframe);
    EXPECT_EQ(tree.CheckIn(kNews, "x", {}, "editor", &again)->code, kErrorWrongKind);
}

TEST_F(AssetTreeTest, NewAssetsGetFreeNamesAndCopiesGetEverythingUnderNewIds) {
    std::string first = Sequence("晚间新闻", {{"USER", "标题", "第一版"}});
    std::string twin = Sequence("晚间新闻");
    std::string display, copy, beside, bytes;
    ASSERT_FALSE(
        tree.CheckInAAF(kNews, "AAF", std::nullopt, {{"USER", "Display Name", "Promo"}}, "editor", &display));
    EXPECT_EQ(Name(twin), "晚间新闻 (2)");
    EXPECT_EQ(Name(Sequence("")), "Untitled");
    EXPECT_EQ(Name(display), "Promo");
    EXPECT_EQ(tree.CheckInAAF(kNews, "AAF", std::nullopt, {{"USER", "Name", "a/b"}}, "editor", &bytes)->code,
              kErrorInvalidArgument);

    std::vector<int> ids;
    ASSERT_FALSE(tree.SaveLocators(first, {{0, 100, "", "", "片头", "Red", "V1"}}, "editor", &ids));
    ASSERT_FALSE(tree.Duplicate(first, kArchive, {{"USER", "状态", "副本"}}, "producer", &copy));
    ASSERT_FALSE(tree.Duplicate(kNews + "/晚间新闻", kNews, {}, "producer", &beside));
    EXPECT_EQ(Name(copy), "晚间新闻");
    EXPECT_EQ(Name(beside), "晚间新闻 (3)");
    AttributeList attributes = Attributes(copy);
    EXPECT_EQ(Value(attributes, "USER", "标题"), "第一版");
    EXPECT_EQ(Value(attributes, "USER", "状态"), "副本");
    EXPECT_EQ(Value(attributes, "SYSTEM", "Creator"), "producer");
    ASSERT_FALSE(tree.GetHeadframe(copy, &bytes));
    EXPECT_EQ(bytes, "JPEG");
    std::vector<Locator> locators;
    ASSERT_FALSE(tree.GetLocators(copy, &locators));
    ASSERT_EQ(locators.size(), 1u);
    EXPECT_EQ(locators[0].comment, "片头");
    EXPECT_NE(locators[0].id, ids[0]);
    EXPECT_EQ(tree.Duplicate(kNews, kArchive, {}, "x", &bytes)->code, kErrorWrongKind);
}

TEST_F(AssetTreeTest, MoveRefusesANameTakenInTheTargetFolder) {
    std::string clip = Sequence("晚间新闻");
    ASSERT_FALSE(tree.Move(clip, kArchive, "editor"));
    ASSERT_FALSE(tree.Move(clip, kArchive, "editor")); // where it is already: nothing to do
    EXPECT_EQ(Value(Attributes(clip), "SYSTEM", "Path"), kArchive + "/晚间新闻");
    EXPECT_FALSE(tree.Exists(kNews + "/晚间新闻"));

    Status taken = tree.Move(Sequence("晚间新闻"), kArchive, "editor");
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->code, kErrorAlreadyExists);
    EXPECT_EQ(taken->message, "Cannot move \"晚间新闻\": the folder \"" + kArchive +
                                  "\" already holds an item named \"晚间新闻\".");
    EXPECT_EQ(tree.Move(kNews, kArchive, "editor")->code, kErrorWrongKind);
}

TEST_F(AssetTreeTest, DeleteHonoursSimulationMediaAndMetadata) {
    std::string a = Sequence("a"), b = Sequence("b"), c = Sequence("c"), bytes;
    DeleteReport report;
    ASSERT_FALSE(tree.DeleteAssets({a, kNews + "/a", b}, {true, true, true}, &report));
    EXPECT_THAT(report.deletedAssets, ElementsAre(a, b)); // once each, by asset URI
    ASSERT_EQ(report.deletedMedia.size(), 4u);            // media and headframe of both
    EXPECT_THAT(report.deletedMedia[0], HasSubstr(a.substr(a.find('=') + 1) + ".aaf"));
    EXPECT_TRUE(tree.Exists(a));

    ASSERT_FALSE(tree.DeleteAssets({c}, {false, true, false}, &report)); // media only
    EXPECT_TRUE(report.deletedAssets.empty());
    EXPECT_EQ(tree.GetLatest(c, &bytes)->code, kErrorNoMedia);
    EXPECT_EQ(Value(Attributes(c), "SYSTEM", "Size"), "0");

    EXPECT_EQ(tree.DeleteAssets({a, kArchive}, {}, &report)->code, kErrorWrongKind);
    ASSERT_FALSE(tree.DeleteAssets({a, b}, {}, &report));
    EXPECT_TRUE(report.deletedMedia.empty());
    EXPECT_FALSE(tree.Exists(a));
    EXPECT_FALSE(tree.Exists(kNews + "/b"));
}

TEST_F(AssetTreeTest, SetAttributesMergesByGroupAndNameAndRefusesSystemOnes) {
    std::string a = Sequence("a", {{"USER", "标题", "旧"}}), b = Sequence("b");
    ASSERT_FALSE(tree.SetAttributes(
        {a, b, kNews}, {{"USER", "标题", "新"}, {"DESK", "标题", "副"}, {"", "状态", "好"}}, "editor"));
    std::vector<std::string> order;
    for (const Attribute& at : Attributes(a)) order.push_back(at.group + ":" + at.name + "=" + at.value);
    EXPECT_THAT(std::vector<std::string>(order.end() - 4, order.end()),
                ElementsAre("USER:标题=新", "USER:Name=a", "DESK:标题=副", "USER:状态=好"));
    EXPECT_EQ(order.front(), "SYSTEM:Name=a");
    EXPECT_EQ(Value(Attributes(kNews), "DESK", "标题"), "副"); // folders carry attributes too

    Status system = tree.SetAttributes({a}, {{"USER", "x", "1"}, {"SYSTEM", "Creator", "mallory"}}, "editor");
    ASSERT_TRUE(system);
    EXPECT_EQ(system->code, kErrorReadOnly);
    EXPECT_THAT(system->message, HasSubstr("Creator"));

    std::vector<Description> read;
    ASSERT_FALSE(tree.GetAttributes({b}, {{"DESK", "标题", ""}, {"", "Name", ""}}, &read));
    EXPECT_EQ(read[0].attributes.size(), 3u); // SYSTEM:Name, USER:Name, DESK:标题
    EXPECT_EQ(tree.GetAttributes({}, {}, &read)->code, kErrorInvalidArgument);
}

TEST_F(AssetTreeTest, LocatorsGetServerIdsTimecodesAndUsers) {
    std::string clip = Sequence("晚间新闻");
    std::vector<int> ids, more;
    ASSERT_FALSE(tree.SaveLocators(
        clip, {{0, 2500, "99:99", "mallory", "采访", "Green", "A1"}, {0, 100, "", "", "", "", ""}}, "editor",
        &ids));
    ASSERT_FALSE(
        tree.SaveLocators(clip, {{0, 90000 * 25 + 24, "", "", "", "Blue", "V1"}}, "producer", &more));
    EXPECT_LT(ids[0], ids[1]);
    EXPECT_LT(ids[1], more[0]);
    std::vector<Locator> locators;
    ASSERT_FALSE(tree.GetLocators(clip, &locators));
    ASSERT_EQ(locators.size(), 3u); // by frame
    EXPECT_EQ(locators[0].timecode, "00:00:04:00");
    EXPECT_EQ(locators[1].timecode, "00:01:40:00");
    EXPECT_EQ(locators[1].username, "editor");
    EXPECT_EQ(locators[1].comment + locators[1].color + locators[1].track, "采访GreenA1");
    EXPECT_EQ(locators[2].timecode, "01:00:00:24"); // 25 hours wrap to 1
    EXPECT_EQ(locators[2].username, "producer");

    ASSERT_FALSE(tree.SaveLocators(clip, {{ids[0], 50, "", "", "改", "Red", "V2"}}, "producer", &more));
    ASSERT_FALSE(tree.GetLocators(clip, &locators));
    EXPECT_EQ(locators[0].id, ids[0]); // changed in place
    EXPECT_EQ(locators[0].timecode + locators[0].comment, "00:00:02:00改");
    ASSERT_FALSE(tree.RemoveLocators(clip, {ids[1], ids[0]}));
    ASSERT_FALSE(tree.GetLocators(clip, &locators));
    ASSERT_EQ(locators.size(), 1u);
    EXPECT_EQ(tree.GetLocators(kNews, &locators)->code, kErrorWrongKind);
}

TEST_F(AssetTreeTest, SearchFindsAssetsAtAnyDepthUnderThePath) {
    std::string uri;
    ASSERT_FALSE(tree.CreateFolder(kNews + "/晚间", "editor"));
    ASSERT_FALSE(
        tree.CheckInAAF(kNews + "/晚间", "A", std::nullopt, {{"USER", "标题", "晚间新闻"}}, "editor", &uri));
    ASSERT_FALSE(tree.CheckInAAF(kNews, "BB", std::nullopt, {{"USER", "标题", "午间新闻"}}, "editor", &uri));
    ASSERT_FALSE(
        tree.CheckInAAF(kArchive, "CCC", std::nullopt, {{"USER", "标题", "旧新闻"}}, "editor", &uri));
    ASSERT_FALSE(tree.CheckIn(kNews + "/notes.txt", "DDDD", {}, "editor", &uri));
    auto count = [&](const std::string& path, const SearchGroup& group, int max) {
        std::vector<Description> found;
        EXPECT_FALSE(tree.Search(path, group, {}, max, &found));
        return found.size();
    };
    SearchGroup titles;
    titles.conditions = {{"CONTAINS", {"USER", "标题", "新闻"}}};
    EXPECT_EQ(count(kNews, titles, 0), 2u); // not the archive's, and no folders
    EXPECT_EQ(count(kRoot, titles, 0), 3u);
    EXPECT_EQ(count(kRoot, titles, 2), 2u);
    SearchGroup small;
    small.op = "OR";
    small.conditions = {{"LESS_THAN", {"SYSTEM", "Size", "2"}}, {"EQUALS", {"", "Type", "file"}}};
    EXPECT_EQ(count(kRoot, small, 0), 2u);
    EXPECT_EQ(count(kProjects, SearchGroup(), 0), 4u);

    std::vector<Description> found;
    SearchGroup bad;
    bad.op = "NAND";
    EXPECT_EQ(tree.Search(kRoot, bad, {}, 0, &found)->uri, kRoot);
    EXPECT_EQ(tree.Search(kNews + "/notes.txt", {}, {}, 0, &found)->code, kErrorWrongKind);
}

TEST_F(AssetTreeTest, FailedOperationsLeaveTheTreeAsItWas) {
    std::string clip = Sequence("晚间新闻"), other = Sequence("other"), copy, text;
    ASSERT_FALSE(tree.Duplicate(other, kArchive, {}, "editor", &copy));
    const std::string unknown = kRoot + "?mobid=ffffffffffffffffffffffffffffffff";
    const std::string before = tree.Snapshot();
    std::vector<int> ids;
    DeleteReport report;
    std::vector<std::pair<const char*, std::function<Status()>>> failures = {
        {"CreateFolder", [&] { return tree.CreateFolder(kNews, "editor"); }},
        {"CheckIn", [&] { return tree.CheckIn(kProjects + "/无/a.txt", "x", {}, "editor", &text); }},
        {"CheckIn with a nameless attribute",
         [&] {
             return tree.CheckIn(kNews + "/a.txt", "x", {{"USER", "", "v"}}, "editor", &text);
         }},
        {"CheckInAAF", [&] { return tree.CheckInAAF(unknown, "x", std::nullopt, {}, "editor", &text); }},
        {"Duplicate", [&] { return tree.Duplicate(unknown, kArchive, {}, "editor", &text); }},
        {"Move", [&] { return tree.Move(other, kArchive, "editor"); }},
        {"DeleteAssets",
         [&] {
             return tree.DeleteAssets({clip, unknown}, {true, true, false}, &report);
         }},
        {"SetAttributes",
         [&] {
             return tree.SetAttributes({clip}, {{"USER", "a", "1"}, {"SYSTEM", "Name", "x"}}, "editor");
         }},
        {"SetAttributes on an unknown URI",
         [&] {
             return tree.SetAttributes({clip, unknown}, {{"USER", "a", "1"}}, "editor");
         }},
        {"SaveLocators",
         [&] {
             return tree.SaveLocators(clip, {{0, 5, "", "", "", "", ""}, {77, 1, "", "", "", "", ""}}, "e",
                                      &ids);
         }},
        {"SaveLocators at a negative frame",
         [&] {
             return tree.SaveLocators(clip, {{0, 5, "", "", "", "", ""}, {0, -1, "", "", "", "", ""}}, "e",
                                      &ids);
         }},
        {"RemoveLocators", [&] { return tree.RemoveLocators(clip, {1}); }},
    };
    for (const auto& failure : failures) {
        Status problem = failure.second();
        ASSERT_TRUE(problem) << failure.first;
        EXPECT_FALSE(problem->message.empty() || problem->details.empty()) << failure.first;
        EXPECT_EQ(tree.Snapshot(), before) << failure.first;
    }
}
