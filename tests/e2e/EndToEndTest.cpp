// The component end to end: loaded through DllGetClassObject like a host
// loads it, against the Assets service simulator on a loopback port, every
// operation with CJK folder, asset and attribute names.
#include <locale.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "AssetsSimulator.h"
#include "ComponentHost.h"
#include "InterplayClient.h"
#include "KoPlatform.h"
#include "TempDir.h"
#include "Text.h"

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Bytes(size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 2654435761u + seed) >> 13);
    return bytes;
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        setlocale(LC_CTYPE, "C.UTF-8");
        KoSetThreadCodePage(936);
        assets_sim::Options options;
        options.users.push_back({"editor", "s\xC3\xA9same"}); // sésame
        simulator = std::make_unique<assets_sim::AssetsSimulator>(options);
        std::string error;
        ASSERT_TRUE(simulator->Start(&error)) << error;
        ASSERT_TRUE(host.Load(ZU_LIBRARY_PATH, &error)) << error;
        access = host.Access();
        ASSERT_EQ(access->SetServiceURL(Wide(simulator->ServiceURL()).c_str()), S_OK);
        ASSERT_EQ(access->SetCredentials(L"editor", L"s\xE9same"), S_OK);
        client = std::make_unique<InterplayClient>(access);
        root = simulator->RootURI();
        for (const wchar_t* folder : {L"c:\\Kestrava\\ConvertFile\\",
                                      L"C:\\\x975E\x7F16\x7CFB\x7EDF\x4E34\x65F6\x6587\x4EF6\\"
                                      L"\x4E34\x65F6\x6587\x4EF6\x76EE\x5F55\\"})
            fs::create_directories(InterplayClient::LocalPath(folder));
    }

    // Checks an AAF in with a headframe and attributes; its URI.
    std::string CheckInClip(const std::string& folder, const std::string& name) {
        work.write(name + ".aaf", Bytes(300000, 1));
        work.write(name + ".jpg", Bytes(20000, 2));
        Result r = client->CheckInAAF(
            work.file(name + ".aaf"), folder, work.file(name + ".jpg"),
            {{"USER", "Name", name}, {"USER", "标题", "晚间新闻"}, {"SYSTEM", "Creator", "someone else"}});
        EXPECT_TRUE(r.ok) << r.error;
        return r.data.value("uri", "");
    }

    static std::string Attribute(const nlohmann::json& attributes, const std::string& name) {
        for (const auto& a : attributes)
            if (a.value("name", "") == name) return a.value("value", "");
        return "<absent>";
    }

    ScopedKoRoots roots;
    TempDir work;
    std::unique_ptr<assets_sim::AssetsSimulator> simulator;
    ComponentHost host;
    IZuInterplayAccess* access = nullptr;
    std::unique_ptr<InterplayClient> client;
    std::string root;
};

} // namespace

TEST_F(EndToEnd, FoldersAndListing) {
    const std::string news = root + "/新闻";
    ASSERT_TRUE(client->CreateFolder(news).ok);
    ASSERT_TRUE(client->CreateFolder(news + "/晚间").ok);
    Result again = client->CreateFolder(news);
    EXPECT_FALSE(again.ok);
    EXPECT_EQ(again.code, ZU_E_SERVERERROR);
    Result orphan = client->CreateFolder(root + "/无此目录/子目录");
    EXPECT_FALSE(orphan.ok);
    EXPECT_TRUE(simulator->Exists(news + "/晚间"));

    std::string clip = CheckInClip(news, "片段一");
    Result all = client->List(news, false);
    ASSERT_TRUE(all.ok) << all.error;
    ASSERT_EQ(all.data.size(), 2u);
    Result folders = client->List(news, true);
    ASSERT_TRUE(folders.ok);
    ASSERT_EQ(folders.data.size(), 1u);
    EXPECT_EQ(folders.data[0].value("uri", ""), news + "/晚间");
    // The asset's listing carries its attributes, CJK included; the SYSTEM
    // attribute the host offered was not sent, the server's own stands.
    for (const auto& item : all.data) {
        if (item.value("uri", "") != clip) continue;
        EXPECT_EQ(Attribute(item["attributes"], "标题"), "晚间新闻");
        EXPECT_EQ(Attribute(item["attributes"], "Creator"), "editor");
    }
}

TEST_F(EndToEnd, CheckInFetchAndHeadframeAreByteExact) {
    std::string clip = CheckInClip(root + "/Projects", "采访");
    ASSERT_FALSE(clip.empty());
    Result latest = client->GetLatest(clip);
    ASSERT_TRUE(latest.ok) << latest.error;
    EXPECT_EQ(ReadFile(latest.data.value("local", "")), ReadFile(work.file("采访.aaf")));
    Result headframe = client->GetHeadframe(clip);
    ASSERT_TRUE(headframe.ok) << headframe.error;
    EXPECT_EQ(ReadFile(headframe.data.value("local", "")), ReadFile(work.file("采访.jpg")));

    // A plain file check-in lands at its target path.
    work.write("说明.txt", "notes\n");
    ASSERT_TRUE(client->CheckIn(work.file("说明.txt"), root + "/Projects/说明.txt", {}).ok);
    EXPECT_TRUE(simulator->Exists(root + "/Projects/说明.txt"));
    // A missing input file sends nothing.
    size_t before = simulator->RequestCount();
    EXPECT_FALSE(client->CheckIn(work.file("不存在.txt"), root + "/Projects/x.txt", {}).ok);
    EXPECT_EQ(simulator->RequestCount(), before);
}

TEST_F(EndToEnd, AttributesAreMergedAndSystemOnesStayTheServers) {
    std::string clip = CheckInClip(root + "/Projects", "天气");
    ASSERT_TRUE(client->SetAttributes(clip, {{"USER", "状态", "已批准"}, {"SYSTEM", "Name", "改名"}}).ok);
    Result attributes = client->GetAttributes(clip);
    ASSERT_TRUE(attributes.ok) << attributes.error;
    EXPECT_EQ(Attribute(attributes.data, "状态"), "已批准");
    EXPECT_EQ(Attribute(attributes.data, "标题"), "晚间新闻");
    EXPECT_EQ(Attribute(attributes.data, "Name"), "天气");
    Result unknown = client->GetAttributes(root + "?mobid=00000000000000000000000000000000");
    EXPECT_FALSE(unknown.ok);
    EXPECT_EQ(unknown.code, ZU_E_SERVERERROR);
}

TEST_F(EndToEnd, LocatorsAreAddedListedAndRemoved) {
    std::string clip = CheckInClip(root + "/Projects", "体育");
    ASSERT_TRUE(client->AddLocators(clip, {{25, "开场", "Red", "V1"}, {1500, "进球", "Green", "A2"}}).ok);
    Result locators = client->GetLocators(clip);
    ASSERT_TRUE(locators.ok) << locators.error;
    ASSERT_EQ(locators.data.size(), 2u);
    EXPECT_EQ(locators.data[0].value("comment", ""), "开场");
    EXPECT_EQ(locators.data[0].value("timecode", ""), "00:00:01:00");
    EXPECT_EQ(locators.data[1].value("frame", 0), 1500);
    EXPECT_EQ(locators.data[1].value("track", ""), "A2");
    EXPECT_EQ(locators.data[1].value("user", ""), "editor");
    int first = locators.data[0].value("id", 0);
    ASSERT_TRUE(client->RemoveLocator(clip, first).ok);
    EXPECT_FALSE(client->RemoveLocator(clip, first).ok);
    Result left = client->GetLocators(clip);
    ASSERT_TRUE(left.ok);
    ASSERT_EQ(left.data.size(), 1u);
    EXPECT_EQ(left.data[0].value("comment", ""), "进球");
}

TEST_F(EndToEnd, SearchCombinesConditions) {
    const std::string folder = root + "/Projects/节目";
    ASSERT_TRUE(client->CreateFolder(folder).ok);
    std::string a = CheckInClip(folder, "早间");
    std::string b = CheckInClip(folder, "午间");
    ASSERT_TRUE(client->SetAttributes(b, {{"USER", "时长", "120"}}).ok);
    ASSERT_TRUE(client->SetAttributes(a, {{"USER", "时长", "90"}}).ok);

    ConditionSpec title, longer;
    ASSERT_TRUE(ConditionSpec::Parse("USER:标题~新闻", &title));
    ASSERT_TRUE(ConditionSpec::Parse("USER:时长>100", &longer));
    Result both = client->Search(folder, true, 20, {title, longer});
    ASSERT_TRUE(both.ok) << both.error;
    ASSERT_EQ(both.data.size(), 1u);
    EXPECT_EQ(both.data[0].value("uri", ""), b);
    Result any = client->Search(folder, false, 20, {title, longer});
    ASSERT_TRUE(any.ok);
    EXPECT_EQ(any.data.size(), 2u);
    Result limited = client->Search(folder, false, 1, {title});
    ASSERT_TRUE(limited.ok);
    EXPECT_EQ(limited.data.size(), 1u);
}

TEST_F(EndToEnd, DuplicateMoveAndDelete) {
    const std::string archive = root + "/归档";
    const std::string publish = root + "/发布";
    ASSERT_TRUE(client->CreateFolder(archive).ok);
    ASSERT_TRUE(client->CreateFolder(publish).ok);
    std::string clip = CheckInClip(root + "/Projects", "专题");
    Result copy = client->Duplicate(clip, archive);
    ASSERT_TRUE(copy.ok) << copy.error;
    std::string copyURI = copy.data.value("uri", "");
    ASSERT_NE(copyURI, clip);
    ASSERT_TRUE(client->Move(copyURI, publish).ok);
    // The publishing folder now holds a "专题": moving the original there fails
    // with the server's own words.
    Result clash = client->Move(clip, publish);
    EXPECT_FALSE(clash.ok);
    EXPECT_EQ(clash.code, ZU_E_SERVERERROR);
    EXPECT_NE(clash.error.find("专题"), std::string::npos) << clash.error;

    ASSERT_TRUE(client->Delete({copyURI}, false, true).ok); // simulation only
    EXPECT_TRUE(simulator->Exists(copyURI));
    ASSERT_TRUE(client->Delete({copyURI}, true, false).ok);
    EXPECT_FALSE(simulator->Exists(copyURI));
    Result gone = client->Delete({copyURI}, false, false);
    EXPECT_FALSE(gone.ok);
    EXPECT_EQ(gone.code, ZU_E_SERVERERROR);
}

TEST_F(EndToEnd, WrongPasswordAndUnreachableServer) {
    ASSERT_EQ(access->SetCredentials(L"editor", L"wrong"), S_OK);
    Result denied = client->CreateFolder(root + "/x");
    EXPECT_FALSE(denied.ok);
    EXPECT_EQ(denied.code, ZU_E_SERVERERROR);
    EXPECT_FALSE(denied.error.find("wrong") != std::string::npos) << "password echoed: " << denied.error;
    EXPECT_FALSE(simulator->Exists(root + "/x"));

    simulator->Stop();
    ASSERT_EQ(access->SetCredentials(L"editor", L"s\xE9same"), S_OK);
    Result down = client->CreateFolder(root + "/y");
    EXPECT_FALSE(down.ok);
    EXPECT_GT(down.code, 0); // the SOAP runtime's own code
    EXPECT_NE(down.error.find("不能正确获得web服务!"), std::string::npos) << down.error;
}
