// The simulated workgroup's semantics, without the wire.
#include "AssetTree.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <regex>

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

std::vector<std::string> Names(const std::vector<Description>& descriptions) {
    std::vector<std::string> names;
    for (const Description& d : descriptions) names.push_back(Value(d.attributes, "SYSTEM", "Name"));
    return names;
}

class AssetTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        tree.SetClock([this] { return "2024-05-0" + std::to_string(++tick % 10) + "T10:00:00Z"; });
        ASSERT_FALSE(tree.CreateFolder(kNews, "editor"));
        ASSERT_FALSE(tree.CreateFolder(kArchive, "editor"));
    }

    // A sequence in kNews with a headframe; its asset URI.
    std::string Sequence(const std::string& name, const AttributeList& more = {}) {
        AttributeList attributes = more;
        if (!name.empty()) attributes.push_back({"USER", "Name", name});
        std::string uri;
        EXPECT_FALSE(tree.CheckInAAF(kNews, "AAF:" + name, std::string("JPEG:" + name), attributes, "editor", &uri));
        return uri;
    }

    std::vector<Description> Children(const std::string& uri, ChildFilter filter = {}) {
        std::vector<Description> out;
        EXPECT_FALSE(tree.GetChildren(uri, filter, {}, &out));
        return out;
    }

    AttributeList Attributes(const std::string& uri) {
        std::vector<Description> out;
        EXPECT_FALSE(tree.GetAttributes({uri}, {}, &out));
        return out.empty() ? AttributeList() : out[0].attributes;
    }

    AssetTree tree;
    int tick = 0;
};

} // namespace

TEST_F(AssetTreeTest, StartsWithRootAndProjectsAndCreatesFoldersBelowExistingOnes) {
    AssetTree fresh;
    EXPECT_EQ(fresh.RootURI(), kRoot);
    EXPECT_TRUE(fresh.Exists(kRoot));
    EXPECT_TRUE(fresh.Exists(kRoot + "/"));
    EXPECT_TRUE(fresh.Exists(kProjects));
    EXPECT_EQ(fresh.Count(), 2u);

    EXPECT_TRUE(tree.Exists(kNews));
    EXPECT_TRUE(tree.Exists(kNews + "/"));
    EXPECT_FALSE(tree.CreateFolder(kNews + "/晚间/", "editor"));  // a trailing slash is no part of the name
    EXPECT_TRUE(tree.Exists(kNews + "/晚间"));
    AttributeList folder = Attributes(kNews + "/晚间");
    EXPECT_EQ(Value(folder, "SYSTEM", "Type"), "folder");
    EXPECT_EQ(Value(folder, "SYSTEM", "Creator"), "editor");
    EXPECT_EQ(Value(folder, "SYSTEM", "Path"), kNews + "/晚间");

    Status exists = tree.CreateFolder(kNews, "editor");
    ASSERT_TRUE(exists);
    EXPECT_EQ(exists->code, kErrorAlreadyExists);
    EXPECT_EQ(exists->uri, kNews);
    EXPECT_THAT(exists->message, HasSubstr("exists already"));

    Status orphan = tree.CreateFolder(kProjects + "/无/有", "editor");
    ASSERT_TRUE(orphan);
    EXPECT_EQ(orphan->code, kErrorNotFound);
    EXPECT_THAT(orphan->message, HasSubstr("parent folder \"" + kProjects + "/无\""));

    for (const std::string& bad : {kProjects + "//x", kProjects + "/..", std::string("interplay://Other/x"),
                                   kRoot, kProjects + "/a\tb", std::string("")}) {
        Status problem = tree.CreateFolder(bad, "editor");
        EXPECT_TRUE(problem) << bad;
        EXPECT_FALSE(tree.Exists(bad) && bad != kRoot) << bad;
    }
    std::string asset = Sequence("片头");
    Status underAsset = tree.CreateFolder(kNews + "/片头/子", "editor");
    ASSERT_TRUE(underAsset);
    EXPECT_EQ(underAsset->code, kErrorWrongKind);
}

TEST_F(AssetTreeTest, ListsFoldersFirstThenAssetsByNameHonouringTheKindsAndPattern) {
    std::string fileUri;
    ASSERT_FALSE(tree.CheckIn(kNews + "/notes.txt", "text", {}, "editor", &fileUri));
    Sequence("b-roll");
    Sequence("A-roll");
    ASSERT_FALSE(tree.CreateFolder(kNews + "/Zeta", "editor"));
    ASSERT_FALSE(tree.CreateFolder(kNews + "/alpha", "editor"));

    EXPECT_THAT(Names(Children(kNews)), ElementsAre("Zeta", "alpha", "A-roll", "b-roll", "notes.txt"));
    EXPECT_THAT(Names(Children(kNews, {true, false, false, ""})), ElementsAre("Zeta", "alpha"));
    EXPECT_THAT(Names(Children(kNews, {false, true, false, ""})), ElementsAre("notes.txt"));
    EXPECT_THAT(Names(Children(kNews, {false, false, true, ""})), ElementsAre("A-roll", "b-roll"));
    EXPECT_THAT(Names(Children(kNews, {true, true, true, "*-ROLL"})), ElementsAre("A-roll", "b-roll"));

    // Folders are reported by path, assets by their asset URI; both with attributes.
    std::vector<Description> all = Children(kNews);
    EXPECT_EQ(all[0].uri, kNews + "/Zeta");
    EXPECT_EQ(all[4].uri, fileUri);
    EXPECT_EQ(Value(all[4].attributes, "SYSTEM", "Type"), "file");
    EXPECT_EQ(Value(all[2].attributes, "SYSTEM", "Type"), "sequence");

    // Only the wanted attributes.
    std::vector<Description> some;
    ASSERT_FALSE(tree.GetChildren(kNews, {}, {{"", "Type", ""}}, &some));
    ASSERT_EQ(some[0].attributes.size(), 1u);
    EXPECT_EQ(some[0].attributes[0].name, "Type");

    Status onAsset = tree.GetChildren(fileUri, {}, {}, &some);
    ASSERT_TRUE(onAsset);
    EXPECT_EQ(onAsset->code, kErrorWrongKind);
}

TEST_F(AssetTreeTest, CheckInKeepsBytesAndAttributesAndMakesVersionsAtTheSamePath) {
    std::string uri;
    ASSERT_FALSE(tree.CheckIn(kNews + "/脚本.txt", std::string("v1\0bytes", 8),
                              {{"USER", "标题", "脚本"}, {"", "Draft", "yes"}, {"SYSTEM", "Creator", "mallory"}},
                              "editor", &uri));
    EXPECT_TRUE(std::regex_match(uri, std::regex("interplay://Workgroup\\?mobid=[0-9a-f]{32}"))) << uri;
    // The asset answers to its URI, its path, and its id in capitals.
    EXPECT_TRUE(tree.Exists(uri));
    EXPECT_TRUE(tree.Exists(kNews + "/脚本.txt"));
    std::string upper = uri;
    for (size_t i = uri.find('=') + 1; i < upper.size(); ++i) upper[i] = static_cast<char>(toupper(upper[i]));
    EXPECT_TRUE(tree.Exists(upper));

    std::string bytes;
    ASSERT_FALSE(tree.GetLatest(kNews + "/脚本.txt", &bytes));
    EXPECT_EQ(bytes, std::string("v1\0bytes", 8));
    AttributeList attributes = Attributes(uri);
    EXPECT_EQ(Value(attributes, "USER", "标题"), "脚本");
    EXPECT_EQ(Value(attributes, "USER", "Draft"), "yes");  // no group: USER
    EXPECT_EQ(Value(attributes, "SYSTEM", "Creator"), "editor");  // the server's, not the client's
    EXPECT_EQ(Value(attributes, "SYSTEM", "Size"), "8");
    EXPECT_EQ(Value(attributes, "SYSTEM", "Version"), "1");

    std::string again;
    ASSERT_FALSE(tree.CheckIn(kNews + "/脚本.txt", "v2", {{"USER", "Draft", "no"}}, "editor", &again));
    EXPECT_EQ(again, uri);
    ASSERT_FALSE(tree.GetLatest(uri, &bytes));
    EXPECT_EQ(bytes, "v2");
    attributes = Attributes(uri);
    EXPECT_EQ(Value(attributes, "SYSTEM", "Version"), "2");
    EXPECT_EQ(Value(attributes, "USER", "Draft"), "no");
    EXPECT_EQ(Value(attributes, "USER", "标题"), "脚本");

    Status noHeadframe = tree.GetHeadframe(uri, &bytes);
    ASSERT_TRUE(noHeadframe);
    EXPECT_EQ(noHeadframe->code, kErrorNoHeadframe);
    EXPECT_THAT(noHeadframe->message, HasSubstr("脚本.txt"));

    Status onFolder = tree.CheckIn(kNews, "x", {}, "editor", &again);
    ASSERT_TRUE(onFolder);
    EXPECT_EQ(onFolder->code, kErrorWrongKind);
    EXPECT_TRUE(tree.CheckIn(kProjects + "/无/x.txt", "x", {}, "editor", &again));
}

TEST_F(AssetTreeTest, CheckInAAFNamesTheAssetAndKeepsNamesUniqueInTheFolder) {
    std::string titled = Sequence("晚间新闻");
    std::string twin = Sequence("晚间新闻");
    std::string untitled = Sequence("");
    std::string display;
    ASSERT_FALSE(tree.CheckInAAF(kNews, "AAF", std::nullopt, {{"USER", "Display Name", "Promo"}}, "editor",
                                 &display));
    EXPECT_NE(titled, twin);
    EXPECT_EQ(Value(Attributes(titled), "SYSTEM", "Name"), "晚间新闻");
    EXPECT_EQ(Value(Attributes(twin), "SYSTEM", "Name"), "晚间新闻 (2)");
    EXPECT_EQ(Value(Attributes(untitled), "SYSTEM", "Name"), "Untitled");
    EXPECT_EQ(Value(Attributes(display), "SYSTEM", "Name"), "Promo");
    EXPECT_TRUE(tree.Exists(kNews + "/晚间新闻 (2)"));

    std::string bytes;
    ASSERT_FALSE(tree.GetLatest(twin, &bytes));
    EXPECT_EQ(bytes, "AAF:晚间新闻");
    ASSERT_FALSE(tree.GetHeadframe(twin, &bytes));
    EXPECT_EQ(bytes, "JPEG:晚间新闻");
    EXPECT_EQ(tree.GetHeadframe(display, &bytes)->code, kErrorNoHeadframe);

    std::string uri;
    Status missing = tree.CheckInAAF(kProjects + "/无", "AAF", std::nullopt, {}, "editor", &uri);
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->code, kErrorNotFound);
    EXPECT_THAT(missing->message, HasSubstr("destination folder"));
    Status slash = tree.CheckInAAF(kNews, "AAF", std::nullopt, {{"USER", "Name", "a/b"}}, "editor", &uri);
    ASSERT_TRUE(slash);
    EXPECT_EQ(slash->code, kErrorInvalidArgument);
}

TEST_F(AssetTreeTest, DuplicateCopiesEverythingUnderANewIdAndAFreeName) {
    std::string original = Sequence("晚间新闻", {{"USER", "标题", "第一版"}});
    std::vector<int> ids;
    ASSERT_FALSE(tree.SaveLocators(original, {{0, 100, "", "", "片头", "Red", "V1"}}, "editor", &ids));

    std::string elsewhere, beside;
    ASSERT_FALSE(tree.Duplicate(original, kArchive, {{"USER", "状态", "副本"}}, "producer", &elsewhere));
    ASSERT_FALSE(tree.Duplicate(kNews + "/晚间新闻", kNews, {}, "producer", &beside));
    EXPECT_NE(elsewhere, original);
    EXPECT_EQ(Value(Attributes(elsewhere), "SYSTEM", "Name"), "晚间新闻");
    EXPECT_EQ(Value(Attributes(beside), "SYSTEM", "Name"), "晚间新闻 (2)");

    AttributeList copy = Attributes(elsewhere);
    EXPECT_EQ(Value(copy, "USER", "标题"), "第一版");
    EXPECT_EQ(Value(copy, "USER", "状态"), "副本");
    EXPECT_EQ(Value(copy, "SYSTEM", "Creator"), "producer");
    EXPECT_EQ(Value(Attributes(original), "USER", "状态"), "<none>");
    std::string bytes;
    ASSERT_FALSE(tree.GetLatest(elsewhere, &bytes));
    EXPECT_EQ(bytes, "AAF:晚间新闻");
    ASSERT_FALSE(tree.GetHeadframe(elsewhere, &bytes));
    EXPECT_EQ(bytes, "JPEG:晚间新闻");
    std::vector<Locator> locators;
    ASSERT_FALSE(tree.GetLocators(elsewhere, &locators));
    ASSERT_EQ(locators.size(), 1u);
    EXPECT_EQ(locators[0].comment, "片头");
    EXPECT_NE(locators[0].id, ids[0]);

    EXPECT_EQ(tree.Duplicate(original, kProjects + "/无", {}, "x", &bytes)->code, kErrorNotFound);
    EXPECT_EQ(tree.Duplicate(kNews, kArchive, {}, "x", &bytes)->code, kErrorWrongKind);
}

TEST_F(AssetTreeTest, MoveRefusesANameTakenInTheTargetFolder) {
    std::string clip = Sequence("晚间新闻");
    ASSERT_FALSE(tree.Move(clip, kArchive, "editor"));
    EXPECT_TRUE(tree.Exists(kArchive + "/晚间新闻"));
    EXPECT_FALSE(tree.Exists(kNews + "/晚间新闻"));
    EXPECT_EQ(Value(Attributes(clip), "SYSTEM", "Path"), kArchive + "/晚间新闻");
    ASSERT_FALSE(tree.Move(clip, kArchive, "editor"));  // where it is already: nothing to do

    std::string other = Sequence("晚间新闻");
    Status taken = tree.Move(other, kArchive, "editor");
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->code, kErrorAlreadyExists);
    EXPECT_EQ(taken->message,
              "Cannot move \"晚间新闻\": the folder \"" + kArchive + "\" already holds an item named \"晚间新闻\".");
    EXPECT_TRUE(tree.Exists(kNews + "/晚间新闻"));

    EXPECT_EQ(tree.Move(kNews, kArchive, "editor")->code, kErrorWrongKind);
    EXPECT_EQ(tree.Move(other, clip, "editor")->code, kErrorWrongKind);
}

TEST_F(AssetTreeTest, DeleteHonoursSimulationMediaAndMetadataAndDeletesAllOrNothing) {
    std::string a = Sequence("a"), b = Sequence("b"), c = Sequence("c");
    DeleteReport report;

    ASSERT_FALSE(tree.DeleteAssets({a, kNews + "/a", b}, {true, true, true}, &report));
    EXPECT_THAT(report.deletedAssets, ElementsAre(a, b));  // once each, by asset URI
    ASSERT_EQ(report.deletedMedia.size(), 4u);             // media and headframe of both
    EXPECT_THAT(report.deletedMedia[0], HasSubstr(a.substr(a.find('=') + 1) + ".aaf"));
    EXPECT_TRUE(tree.Exists(a));
    EXPECT_TRUE(tree.Exists(b));

    // Media only: the asset stays, its bytes go.
    ASSERT_FALSE(tree.DeleteAssets({c}, {false, true, false}, &report));
    EXPECT_TRUE(report.deletedAssets.empty());
    EXPECT_EQ(report.deletedMedia.size(), 2u);
    std::string bytes;
    EXPECT_EQ(tree.GetLatest(c, &bytes)->code, kErrorNoMedia);
    EXPECT_EQ(Value(Attributes(c), "SYSTEM", "Size"), "0");

    // An unknown URI or a folder among them: nothing is deleted.
    std::string unknown = kRoot + "?mobid=00000000000000000000000000000000";
    Status problem = tree.DeleteAssets({a, unknown}, {true, true, false}, &report);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->code, kErrorNotFound);
    EXPECT_EQ(problem->uri, unknown);
    EXPECT_EQ(tree.DeleteAssets({a, kArchive}, {}, &report)->code, kErrorWrongKind);
    EXPECT_TRUE(tree.Exists(a));

    ASSERT_FALSE(tree.DeleteAssets({a, b}, {}, &report));
    EXPECT_THAT(report.deletedAssets, ElementsAre(a, b));
    EXPECT_TRUE(report.deletedMedia.empty());
    EXPECT_FALSE(tree.Exists(a));
    EXPECT_FALSE(tree.Exists(kNews + "/b"));
    ASSERT_FALSE(tree.DeleteAssets({}, {}, &report));
}

TEST_F(AssetTreeTest, SetAttributesMergesByGroupAndNameAndRefusesSystemOnes) {
    std::string a = Sequence("a", {{"USER", "标题", "旧"}}), b = Sequence("b");
    ASSERT_FALSE(tree.SetAttributes({a, b}, {{"USER", "标题", "新"}, {"DESK", "标题", "副"}, {"", "状态", "已批准"}},
                                    "editor"));
    for (const std::string& uri : {a, b}) {
        AttributeList attributes = Attributes(uri);
        EXPECT_EQ(Value(attributes, "USER", "标题"), "新");
        EXPECT_EQ(Value(attributes, "DESK", "标题"), "副");
        EXPECT_EQ(Value(attributes, "USER", "状态"), "已批准");
    }
    // Client attributes follow the server's, in the order first set.
    AttributeList attributes = Attributes(a);
    std::vector<std::string> order;
    for (const Attribute& at : attributes) {
        if (at.group != "SYSTEM") order.push_back(at.group + ":" + at.name);
    }
    EXPECT_THAT(order, ElementsAre("USER:标题", "USER:Name", "DESK:标题", "USER:状态"));
    EXPECT_EQ(attributes.front().group, "SYSTEM");

    Status system = tree.SetAttributes({a}, {{"USER", "x", "1"}, {"SYSTEM", "Creator", "mallory"}}, "editor");
    ASSERT_TRUE(system);
    EXPECT_EQ(system->code, kErrorReadOnly);
    EXPECT_THAT(system->message, HasSubstr("Creator"));
    EXPECT_EQ(Value(Attributes(a), "USER", "x"), "<none>");

    // Folders carry attributes too; wanted attributes narrow a read.
    ASSERT_FALSE(tree.SetAttributes({kNews}, {{"USER", "Desk", "国际"}}, "editor"));
    std::vector<Description> read;
    ASSERT_FALSE(tree.GetAttributes({kNews, a}, {{"USER", "Desk", ""}, {"", "Name", ""}}, &read));
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0].uri, kNews);
    EXPECT_EQ(read[0].attributes.size(), 2u);
    EXPECT_EQ(Value(read[0].attributes, "USER", "Desk"), "国际");
    EXPECT_EQ(Value(read[1].attributes, "USER", "Name"), "a");
    EXPECT_EQ(tree.GetAttributes({}, {}, &read)->code, kErrorInvalidArgument);
    EXPECT_EQ(tree.SetAttributes({a, kProjects + "/无"}, {{"USER", "y", "1"}}, "editor")->code, kErrorNotFound);
    EXPECT_EQ(Value(Attributes(a), "USER", "y"), "<none>");
}

TEST_F(AssetTreeTest, LocatorsGetServerIdsTimecodesAndUsers) {
    std::string clip = Sequence("晚间新闻");
    std::vector<int> ids;
    ASSERT_FALSE(tree.SaveLocators(clip,
                                   {{0, 2500, "99:99", "mallory", "采访开始", "Green", "A1"},
                                    {0, 100, "", "", "片头", "Red", "V1"}},
                                   "editor", &ids));
    ASSERT_EQ(ids.size(), 2u);
    EXPECT_LT(ids[0], ids[1]);
    std::vector<int> more;
    ASSERT_FALSE(tree.SaveLocators(clip, {{0, 90000 * 25 + 24, "", "", "", "Blue", "V1"}}, "producer", &more));
    const int late = more.at(0);
    EXPECT_GT(late, ids[1]);

    std::vector<Locator> locators;
    ASSERT_FALSE(tree.GetLocators(clip, &locators));
    ASSERT_EQ(locators.size(), 3u);  // by frame
    EXPECT_EQ(locators[0].id, ids[1]);
    EXPECT_EQ(locators[0].timecode, "00:00:04:00");
    EXPECT_EQ(locators[0].username, "editor");
    EXPECT_EQ(locators[1].timecode, "00:01:40:00");
    EXPECT_EQ(locators[1].comment, "采访开始");
    EXPECT_EQ(locators[1].color, "Green");
    EXPECT_EQ(locators[1].track, "A1");
    EXPECT_EQ(locators[1].username, "editor");
    EXPECT_EQ(locators[2].timecode, "01:00:00:24");  // 25 hours wrap to 1
    EXPECT_EQ(locators[2].username, "producer");

    // Saving with an ID changes that locator.
    ASSERT_FALSE(tree.SaveLocators(clip, {{ids[0], 50, "", "", "改", "Red", "V2"}}, "producer", &more));
    EXPECT_THAT(more, ElementsAre(ids[0]));
    ASSERT_FALSE(tree.GetLocators(clip, &locators));
    EXPECT_EQ(locators[0].id, ids[0]);
    EXPECT_EQ(locators[0].comment, "改");
    EXPECT_EQ(locators[0].timecode, "00:00:02:00");

    // Removing: unknown IDs remove nothing.
    Status unknown = tree.RemoveLocators(clip, {ids[1], 9999});
    ASSERT_TRUE(unknown);
    EXPECT_EQ(unknown->code, kErrorNotFound);
    EXPECT_THAT(unknown->message, HasSubstr("9999"));
    ASSERT_FALSE(tree.GetLocators(clip, &locators));
    EXPECT_EQ(locators.size(), 3u);
    ASSERT_FALSE(tree.RemoveLocators(clip, {ids[1], ids[0]}));
    ASSERT_FALSE(tree.GetLocators(clip, &locators));
    ASSERT_EQ(locators.size(), 1u);
    EXPECT_EQ(locators[0].id, late);

    EXPECT_EQ(tree.SaveLocators(clip, {{4242, 1, "", "", "", "", ""}}, "x", &more)->code, kErrorNotFound);
    EXPECT_EQ(tree.SaveLocators(clip, {{0, -1, "", "", "", "", ""}}, "x", &more)->code, kErrorInvalidArgument);
    EXPECT_EQ(tree.GetLocators(kNews, &locators)->code, kErrorWrongKind);
}

TEST_F(AssetTreeTest, SearchFindsAssetsAtAnyDepthUnderThePath) {
    ASSERT_FALSE(tree.CreateFolder(kNews + "/晚间", "editor"));
    std::string uri;
    ASSERT_FALSE(tree.CheckInAAF(kNews + "/晚间", "A", std::nullopt, {{"USER", "标题", "晚间新闻 第一版"}}, "editor",
                                 &uri));
    ASSERT_FALSE(tree.CheckInAAF(kNews, "BB", std::nullopt, {{"USER", "标题", "午间新闻"}}, "editor", &uri));
    ASSERT_FALSE(tree.CheckInAAF(kArchive, "CCC", std::nullopt, {{"USER", "标题", "旧新闻"}}, "editor", &uri));
    ASSERT_FALSE(tree.CheckIn(kNews + "/notes.txt", "DDDD", {}, "editor", &uri));

    SearchGroup titles;
    titles.conditions = {{"CONTAINS", {"USER", "标题", "新闻"}}};
    std::vector<Description> found;
    ASSERT_FALSE(tree.Search(kNews, titles, {}, 0, &found));
    EXPECT_EQ(found.size(), 2u);  // not the archive's, and no folders
    ASSERT_FALSE(tree.Search(kRoot, titles, {}, 0, &found));
    EXPECT_EQ(found.size(), 3u);
    ASSERT_FALSE(tree.Search(kRoot, titles, {}, 2, &found));
    EXPECT_EQ(found.size(), 2u);

    SearchGroup small;
    small.op = "OR";
    small.conditions = {{"LESS_THAN", {"SYSTEM", "Size", "2"}}, {"EQUALS", {"", "Type", "file"}}};
    ASSERT_FALSE(tree.Search(kRoot, small, {{"", "Size", ""}}, 0, &found));
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].attributes.size(), 1u);

    SearchGroup everything;
    ASSERT_FALSE(tree.Search(kProjects, everything, {}, 0, &found));
    EXPECT_EQ(found.size(), 4u);

    SearchGroup bad;
    bad.op = "NAND";
    Status problem = tree.Search(kRoot, bad, {}, 0, &found);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->uri, kRoot);
    EXPECT_EQ(tree.Search(kNews + "/notes.txt", everything, {}, 0, &found)->code, kErrorWrongKind);
}

TEST_F(AssetTreeTest, FailedOperationsLeaveTheTreeAsItWas) {
    std::string clip = Sequence("晚间新闻");
    std::string other = Sequence("other");
    std::string copy;
    ASSERT_FALSE(tree.Duplicate(other, kArchive, {}, "editor", &copy));
    std::string unknown = kRoot + "?mobid=ffffffffffffffffffffffffffffffff";
    const std::string before = tree.Snapshot();
    std::string text;
    std::vector<int> ids;
    DeleteReport report;

    std::vector<std::pair<const char*, std::function<Status()>>> failures = {
        {"CreateFolder", [&] { return tree.CreateFolder(kNews, "editor"); }},
        {"CheckIn", [&] { return tree.CheckIn(kProjects + "/无/a.txt", "x", {}, "editor", &text); }},
        {"CheckIn with a nameless attribute",
         [&] { return tree.CheckIn(kNews + "/a.txt", "x", {{"USER", "", "v"}}, "editor", &text); }},
        {"CheckInAAF", [&] { return tree.CheckInAAF(unknown, "x", std::nullopt, {}, "editor", &text); }},
        {"Duplicate", [&] { return tree.Duplicate(unknown, kArchive, {}, "editor", &text); }},
        {"Move", [&] { return tree.Move(other, kArchive, "editor"); }},
        {"DeleteAssets", [&] { return tree.DeleteAssets({clip, unknown}, {true, true, false}, &report); }},
        {"SetAttributes",
         [&] { return tree.SetAttributes({clip}, {{"USER", "a", "1"}, {"SYSTEM", "Name", "x"}}, "editor"); }},
        {"SaveLocators",
         [&] {
             return tree.SaveLocators(clip, {{0, 5, "", "", "", "", ""}, {77, 1, "", "", "", "", ""}}, "editor", &ids);
         }},
        {"RemoveLocators", [&] { return tree.RemoveLocators(clip, {1}); }},
    };
    for (const auto& failure : failures) {
        Status problem = failure.second();
        ASSERT_TRUE(problem) << failure.first;
        EXPECT_FALSE(problem->message.empty()) << failure.first;
        EXPECT_FALSE(problem->details.empty()) << failure.first;
        EXPECT_EQ(tree.Snapshot(), before) << failure.first;
    }
}
