// Folders, copies, latest versions and headframes through the access object,
// against the scripted server, with the drive root in a temporary folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ServiceTestSupport.h"

using namespace service_test;

namespace {

const char* const kCreateFolderLine = ZU_LOG_CREATE_FOLDER;
const char* const kDuplicateLine = ZU_LOG_DUPLICATE;
const char* const kGetLatestLine = ZU_LOG_GET_LATEST;
const char* const kValueLine = ZU_LOG_CHECKINAAF_VALUE;
const char* const kFalseLine = ZU_LOG_CHECKINAAF_FALSE;

// Message box of GetLatest: "此文件已损坏!" in GBK.
const std::string kFileDamaged = "\xB4\xCB\xCE\xC4\xBC\xFE\xD2\xD1\xCB\xF0\xBB\xB5!";

// The GBK text of the headframe folder, for last error texts.
const std::string kHeadframeFolderGbk = ZU_TEXT_HEADFRAME_FOLDER;

std::string Element(const std::string& tag, const std::string& text) {
    return "<types:" + tag + ">" + text + "</types:" + tag + ">";
}

using Folders = ServiceTest;

TEST_F(Folders, CreateFolderSendsTheUriAlone) {
    LastError() = "before";
    Reply(Response("CreateFolder"));
    EXPECT_EQ(S_OK, access->CreateFolder(L"interplay://WG/New"));
    EXPECT_EQ(
        "<types:CreateFolder><types:InterplayURI>interplay://WG/New</types:InterplayURI>"
        "</types:CreateFolder>",
        BodyOf(OnlyRequest()));
    EXPECT_EQ("before", LastError());
    EXPECT_TRUE(Logged().empty());
}

TEST_F(Folders, CreateFolderFailures) {
    Reply(Response("CreateFolder", Errors("exists \xE4\xB8\xAD", "it is there")));
    EXPECT_EQ(ZU_E_SERVERERROR, access->CreateFolder(L"interplay://WG/New"));
    EXPECT_EQ("it is there", LastError());
    EXPECT_EQ((std::vector<std::string>{Line(kCreateFolderLine, "exists \xD6\xD0"),
                                        Line(kCreateFolderLine, "it is there")}),
              Logged());

    capture.clear();
    Unreachable();
    EXPECT_EQ(SOAP_TCP_ERROR, access->CreateFolder(L"interplay://WG/New"));
    EXPECT_EQ(ZU_TEXT_NO_WEB_SERVICE, LastError());
    EXPECT_TRUE(Logged().empty());

    LastError() = "before";
    EXPECT_EQ(ZU_E_INVALIDARG, access->CreateFolder(nullptr));
    EXPECT_EQ("before", LastError());
}

TEST_F(Folders, DuplicateSendsBothUrisAndHandsTheCopyBack) {
    Reply(Response("Duplicate", Element("InterplayURI", "interplay://WG/F/clip.2")));
    const wchar_t* copy = nullptr;
    EXPECT_EQ(S_OK, access->Duplicate(L"interplay://WG/A/clip", L"interplay://WG/F", &copy));
    EXPECT_EQ(
        "<types:Duplicate><types:InterplayAssetURI>interplay://WG/A/clip</types:InterplayAssetURI>"
        "<types:InterplayFolderURI>interplay://WG/F</types:InterplayFolderURI></types:Duplicate>",
        BodyOf(OnlyRequest()));
    EXPECT_STREQ(L"interplay://WG/F/clip.2", copy);
    EXPECT_TRUE(Logged().empty());

    // Without an out-parameter the copy is still made.
    Reply(Response("Duplicate", Element("InterplayURI", "interplay://WG/F/clip.3")));
    EXPECT_EQ(S_OK, access->Duplicate(L"interplay://WG/A/clip", L"interplay://WG/F", nullptr));
    EXPECT_EQ(2u, server.connections());
    EXPECT_STREQ(L"interplay://WG/F/clip.2", copy);

    // A response without the copy's URI hands nothing back.
    const wchar_t* none = L"untouched";
    Reply(Response("Duplicate"));
    EXPECT_EQ(S_OK, access->Duplicate(L"interplay://WG/A/clip", L"interplay://WG/F", &none));
    EXPECT_STREQ(L"untouched", none);
}

// Texts handed back are widened into 260 characters, the terminator included.
TEST_F(Folders, HandedBackTextsAreCutToTheBuffer) {
    const wchar_t* copy = nullptr;
    Reply(Response("Duplicate", Element("InterplayURI", std::string(258, 'c') + "\xE4\xB8\xAD" + "tail")));
    ASSERT_EQ(S_OK, access->Duplicate(L"interplay://WG/A", L"interplay://WG/F", &copy));
    EXPECT_EQ(std::wstring(258, L'c') + L"\x4E2D", copy);
}

TEST_F(Folders, DuplicateFailures) {
    // The copy's URI comes back with a server error too.
    const wchar_t* copy = L"untouched";
    Reply(Response("Duplicate",
                   Errors("partly", "no attributes") + Element("InterplayURI", "interplay://WG/F/clip.2")));
    EXPECT_EQ(ZU_E_SERVERERROR, access->Duplicate(L"interplay://WG/A", L"interplay://WG/F", &copy));
    EXPECT_STREQ(L"interplay://WG/F/clip.2", copy);
    EXPECT_EQ("no attributes", LastError());
    EXPECT_EQ(
        (std::vector<std::string>{Line(kDuplicateLine, "partly"), Line(kDuplicateLine, "no attributes")}),
        Logged());

    copy = L"untouched";
    Reply(Response("Duplicate", Errors("failed", "details")));
    EXPECT_EQ(ZU_E_SERVERERROR, access->Duplicate(L"interplay://WG/A", L"interplay://WG/F", &copy));
    EXPECT_STREQ(L"untouched", copy);

    capture.clear();
    Reply(Fault(), 500);
    EXPECT_EQ(SOAP_SVR_FAULT, access->Duplicate(L"interplay://WG/A", L"interplay://WG/F", &copy));
    EXPECT_EQ(ZU_TEXT_NO_WEB_SERVICE, LastError());
    EXPECT_STREQ(L"untouched", copy);
    EXPECT_TRUE(Logged().empty());

    LastError() = "before";
    EXPECT_EQ(ZU_E_INVALIDARG, access->Duplicate(nullptr, L"interplay://WG/F", &copy));
    EXPECT_EQ(ZU_E_INVALIDARG, access->Duplicate(L"interplay://WG/A", nullptr, &copy));
    EXPECT_EQ("before", LastError());
    EXPECT_EQ(3u, server.connections());
}

class Headframe : public ServiceTest {
protected:
    HRESULT Get(const std::wstring& uri, const wchar_t** path) {
        return access->GetHeadframe(uri.c_str(), path);
    }
    std::string Image(const std::string& bytes) {
        return Response("GetHeadframe", Element("Headframe", Base64(bytes)));
    }
    std::string Cached(const std::string& name) const {
        return roots.drives().read(kHeadframeFolder + "/" + name);
    }
};

TEST_F(Headframe, FetchedImageIsWrittenAndThenServedFromTheCache) {
    MakeFolder(kHeadframeFolder);
    const std::string jpeg = "\xFF\xD8\xFF\xE0" + BinaryBytes(70000);
    const std::wstring uri = kPrefixW + L"clip\x4E2D";
    Reply(Image(jpeg));
    const wchar_t* path = nullptr;
    LastError() = "before";
    ASSERT_EQ(S_OK, Get(uri, &path));
    EXPECT_EQ(kHeadframeFolderW + L"clip\x4E2D.jpg", path);
    EXPECT_TRUE(Cached("clip\xE4\xB8\xAD.jpg") == jpeg);
    EXPECT_EQ((std::vector<std::string>{"clip\xE4\xB8\xAD.jpg"}), FilesIn(kHeadframeFolder));
    EXPECT_EQ(Element("InterplayURI", "interplay://WG/Projects/Assets/xclip&#20013;"),
              elementOf(BodyOf(OnlyRequest()), "types:InterplayURI"));

    // Served from the cache without a connection, even with no server at all;
    // another URI equal from its 33rd byte shares the file.
    Unreachable();
    for (const std::wstring& same : {uri, std::wstring(L"http://elsewhere/other/folder/a/clip\x4E2D")}) {
        path = nullptr;
        ASSERT_EQ(S_OK, Get(same, &path));
        EXPECT_EQ(kHeadframeFolderW + L"clip\x4E2D.jpg", path);
    }
    EXPECT_EQ(1u, server.connections());
    EXPECT_EQ("before", LastError());
    EXPECT_TRUE(Logged().empty());
}

// The name is what follows the URI's first 32 bytes; characters that cannot
// stand in a file name become '_', so the file stays in its folder. Double-byte
// characters whose second byte is '\' or '|' stay whole.
TEST_F(Headframe, FileNamesStayInTheCacheFolder) {
    MakeFolder(kHeadframeFolder);
    struct Case {
        std::wstring uri;
        std::wstring name; // handed back, after the folder
        std::string utf8;  // on the drive
    } cases[] = {
        {L"interplay://WG/short", L".jpg", ".jpg"},
        {kPrefixW + L"..\\..\\..\\evil", L".._.._.._evil.jpg", ".._.._.._evil.jpg"},
        {kPrefixW + L"a/b:c*d?e\"f<g>h|i\x01j", L"a_b_c_d_e_f_g_h_i_j.jpg", "a_b_c_d_e_f_g_h_i_j.jpg"},
        {kPrefixW + L"\x4E57\x4E85", L"\x4E57\x4E85.jpg", "\xE4\xB9\x97\xE4\xBA\x85.jpg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.utf8));
        Reply(Image("JPEG"));
        const wchar_t* path = nullptr;
        ASSERT_EQ(S_OK, Get(c.uri, &path));
        EXPECT_EQ(kHeadframeFolderW + c.name, path);
        EXPECT_EQ("JPEG", Cached(c.utf8));
    }
    // A cut in the middle of a character: its second byte begins the name and
    // pairs with the '\' after it, as the path is read.
    Reply(Image("JPEG"));
    const wchar_t* path = nullptr;
    ASSERT_EQ(S_OK, Get(std::wstring(31, L'p') + L"\x4E2D\\x", &path));
    EXPECT_EQ(5u, FilesIn(kHeadframeFolder).size());
    EXPECT_EQ((std::vector<std::string>{"c"}), FilesIn("."));
    EXPECT_EQ(
        (std::vector<std::string>{"\xE9\x9D\x9E\xE7\xBC\x96\xE7\xB3\xBB\xE7\xBB\x9F\xE4\xB8\xB4\xE6\x97\xB6"
                                  "\xE6\x96\x87\xE4\xBB\xB6"}),
        FilesIn("c"));
}

TEST_F(Headframe, FailuresWriteNothingAndHandNothingBack) {
    MakeFolder(kHeadframeFolder);
    const std::wstring uri = kPrefixW + L"clip";
    const wchar_t* path = L"untouched";

    Reply(Response("GetHeadframe", Errors("no image", "details")));
    EXPECT_EQ(ZU_E_SERVERERROR, Get(uri, &path));
    EXPECT_EQ("no image", LastError());

    Reply(Fault(), 500);
    EXPECT_EQ(SOAP_SVR_FAULT, Get(uri, &path));
    EXPECT_EQ(ZU_TEXT_NO_WEB_SERVICE, LastError());

    // A server error after the image, a response cut in the middle of it:
    // nothing is left behind.
    Reply(Response("GetHeadframe", Element("Headframe", Base64("JPEG")) + Errors("late", "details")));
    EXPECT_EQ(ZU_E_SERVERERROR, Get(uri, &path));
    EXPECT_EQ("late", LastError());
    server.enqueue(ScriptedServer::Reply::truncated(Image(BinaryBytes(100000)), 1000));
    EXPECT_EQ(SOAP_EOF, Get(uri, &path));
    EXPECT_TRUE(FilesIn(kHeadframeFolder).empty());

    // No image, or an empty one, in the response.
    Reply(Response("GetHeadframe"));
    EXPECT_EQ(ZU_E_FAILED, Get(uri, &path));
    EXPECT_EQ(ZU_TEXT_NO_HEADFRAME, LastError());
    Reply(Response("GetHeadframe", "<types:Headframe></types:Headframe>"));
    EXPECT_EQ(ZU_E_FAILED, Get(uri, &path));

    // A file that cannot take the name: the temporary file goes again.
    MakeFolder(kHeadframeFolder + "/clip.jpg");
    Reply(Image("JPEG"));
    EXPECT_EQ(ZU_E_FAILED, Get(uri, &path));
    EXPECT_EQ(ZU_TEXT_CANNOT_WRITE + kHeadframeFolderGbk + "clip.jpg", LastError());
    EXPECT_EQ((std::vector<std::string>{"clip.jpg"}), FilesIn(kHeadframeFolder));
    EXPECT_TRUE(std::filesystem::is_empty(Drive(kHeadframeFolder + "/clip.jpg")));

    EXPECT_STREQ(L"untouched", path);
    EXPECT_EQ(7u, server.connections());
    EXPECT_TRUE(Logged().empty());
}

TEST_F(Headframe, MissingFolderIsNotCreated) {
    const wchar_t* path = L"untouched";
    Reply(Image("JPEG"));
    EXPECT_EQ(ZU_E_FAILED, Get(kPrefixW + L"clip", &path));
    EXPECT_EQ(ZU_TEXT_CANNOT_WRITE + kHeadframeFolderGbk + "clip.jpg", LastError());
    EXPECT_STREQ(L"untouched", path);
    EXPECT_FALSE(std::filesystem::exists(Drive("c")));
    EXPECT_TRUE(Logged().empty());
}

TEST_F(Headframe, NullArgumentsAreRefused) {
    const wchar_t* path = L"untouched";
    EXPECT_EQ(ZU_E_INVALIDARG, Get(kPrefixW + L"clip", nullptr));
    EXPECT_EQ(ZU_E_INVALIDARG, access->GetHeadframe(nullptr, &path));
    EXPECT_STREQ(L"untouched", path);
    EXPECT_EQ(0u, server.connections());
}

class Latest : public ServiceTest {
protected:
    HRESULT Get(const std::wstring& uri, const wchar_t** path) {
        return access->GetLatest(uri.c_str(), path);
    }
    std::string File(const std::string& bytes) {
        return Response("GetLatest", Element("File", Base64(bytes)));
    }
    std::string Fetched(const std::string& name) const {
        return roots.drives().read(kVersionFolder + "/" + name);
    }
};

TEST_F(Latest, FetchedVersionIsWrittenAtTheMappedPath) {
    MakeFolder(kVersionFolder);
    roots.drives().write(kVersionFolder + "/clip.aaf", std::string(300000, 'o')); // replaced whole
    const std::string aaf = BinaryBytes(200000);
    Reply(File(aaf));
    const wchar_t* path = nullptr;
    LastError() = "before";
    ASSERT_EQ(S_OK, Get(kPrefixW + L"clip", &path));
    EXPECT_EQ(kVersionFolderW + L"clip.aaf", path);
    EXPECT_TRUE(Fetched("clip.aaf") == aaf);
    EXPECT_EQ(Element("InterplayURI", "interplay://WG/Projects/Assets/xclip"),
              elementOf(BodyOf(OnlyRequest()), "types:InterplayURI"));

    // Another URI equal from its 33rd byte on writes the same file again.
    Reply(File("second"));
    ASSERT_EQ(S_OK, Get(L"interplay://WG/Elsewhere/Folder/clip", &path));
    EXPECT_EQ(kVersionFolderW + L"clip.aaf", path);
    EXPECT_EQ("second", Fetched("clip.aaf"));

    // Without a length (chunked), the file is written as well; of two files
    // in one response the first is the one.
    server.enqueue(ScriptedServer::Reply::chunked(File(aaf), 4000));
    ASSERT_EQ(S_OK, Get(kPrefixW + L"clip", &path));
    EXPECT_TRUE(Fetched("clip.aaf") == aaf);
    Reply(Response("GetLatest", Element("File", Base64("first")) + Element("File", Base64("other"))));
    ASSERT_EQ(S_OK, Get(kPrefixW + L"clip", &path));
    EXPECT_EQ("first", Fetched("clip.aaf"));

    // An empty file is a file, with or without an end tag; a short URI leaves
    // the extension alone.
    Reply(Response("GetLatest", "<types:File></types:File>"));
    ASSERT_EQ(S_OK, Get(kPrefixW + L"clip", &path));
    EXPECT_EQ("", Fetched("clip.aaf"));
    Reply(Response("GetLatest", "<types:File/>"));
    ASSERT_EQ(S_OK, Get(L"interplay://WG/c", &path));
    EXPECT_EQ(kVersionFolderW + L".aaf", path);
    EXPECT_EQ("", Fetched(".aaf"));
    EXPECT_EQ((std::vector<std::string>{".aaf", "clip.aaf"}), FilesIn(kVersionFolder));

    EXPECT_EQ("before", LastError());
    EXPECT_TRUE(Logged().empty());
    EXPECT_TRUE(boxes.empty());
}

// Before the file or after it: the former file stays, nothing else is left.
TEST_F(Latest, ServerErrorReturnsZeroAndLeavesTheDetails) {
    MakeFolder(kVersionFolder);
    roots.drives().write(kVersionFolder + "/clip.aaf", "former");
    const std::string errors = Errors("gone", "the asset was deleted");
    const std::string file = Element("File", Base64(BinaryBytes(100000)));
    for (const std::string& inner : {errors + file, file + errors}) {
        capture.clear();
        Reply(Response("GetLatest", inner));
        const wchar_t* path = L"untouched";
        EXPECT_EQ(S_OK, Get(kPrefixW + L"clip", &path));
        EXPECT_STREQ(L"untouched", path);
        EXPECT_EQ("the asset was deleted", LastError());
        EXPECT_EQ((std::vector<std::string>{Line(kGetLatestLine, "gone"),
                                            Line(kGetLatestLine, "the asset was deleted")}),
                  Logged());
        EXPECT_EQ((std::vector<std::string>{"clip.aaf"}), FilesIn(kVersionFolder));
        EXPECT_EQ("former", Fetched("clip.aaf"));
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Latest, FailuresEndThroughTheFaultGuard) {
    MakeFolder(kVersionFolder);
    const wchar_t* path = L"untouched";

    Unreachable();
    EXPECT_EQ(ZU_E_FAILED, Get(kPrefixW + L"clip", &path));
    EXPECT_EQ(ZU_TEXT_NO_WEB_SERVICE, LastError());
    EXPECT_EQ((std::vector<std::string>{Line(kValueLine, "28"), Line(kFalseLine, kNoWebService)}), Logged());
    EXPECT_EQ((std::vector<std::string>{kFileDamaged}), boxes);

    // A response without its file.
    ASSERT_EQ(S_OK, access->SetServiceURL(Wide(server.url()).c_str()));
    capture.clear();
    LastError() = "before";
    Reply(Response("GetLatest"));
    EXPECT_EQ(ZU_E_FAILED, Get(kPrefixW + L"clip", &path));
    EXPECT_EQ("before", LastError());
    EXPECT_TRUE(Logged().empty());
    EXPECT_EQ(2u, boxes.size());

    // A response cut in the middle of the file: the former file stays and the
    // new one goes.
    roots.drives().write(kVersionFolder + "/kept.aaf", "former");
    server.enqueue(ScriptedServer::Reply::truncated(File(BinaryBytes(300000)), 1000));
    EXPECT_EQ(ZU_E_FAILED, Get(kPrefixW + L"kept", &path));
    EXPECT_EQ(ZU_TEXT_NO_WEB_SERVICE, LastError());
    EXPECT_EQ((std::vector<std::string>{Line(kValueLine, "-1"), Line(kFalseLine, kNoWebService)}), Logged());
    EXPECT_EQ((std::vector<std::string>{"kept.aaf"}), FilesIn(kVersionFolder));
    EXPECT_EQ("former", Fetched("kept.aaf"));
    EXPECT_EQ(3u, boxes.size());

    // A file that cannot take the name.
    MakeFolder(kVersionFolder + "/clip.aaf");
    Reply(File("AAF"));
    EXPECT_EQ(ZU_E_FAILED, Get(kPrefixW + L"clip", &path));
    EXPECT_EQ(ZU_TEXT_CANNOT_WRITE + std::string(ZU_TEXT_VERSION_FOLDER) + "clip.aaf", LastError());
    EXPECT_EQ((std::vector<std::string>(4, kFileDamaged)), boxes);
    EXPECT_EQ((std::vector<std::string>{"clip.aaf", "kept.aaf"}), FilesIn(kVersionFolder));
    EXPECT_TRUE(std::filesystem::is_empty(Drive(kVersionFolder + "/clip.aaf")));
    EXPECT_STREQ(L"untouched", path);
}

TEST_F(Latest, MissingFolderIsNotCreated) {
    MakeFolder("c/Kestrava");
    const wchar_t* path = L"untouched";
    Reply(File("AAF"));
    EXPECT_EQ(ZU_E_FAILED, Get(kPrefixW + L"clip", &path));
    EXPECT_EQ(ZU_TEXT_CANNOT_WRITE + std::string(ZU_TEXT_VERSION_FOLDER) + "clip.aaf", LastError());
    EXPECT_EQ((std::vector<std::string>{kFileDamaged}), boxes);
    EXPECT_STREQ(L"untouched", path);
    EXPECT_TRUE(FilesIn("c/Kestrava").empty());
    EXPECT_TRUE(Logged().empty());
}

// The URI is narrowed through 260 bytes; what follows its first 32 names the
// file, and the path handed back is whole.
TEST_F(Latest, LongUriGivesTheLongestName) {
    MakeFolder(kVersionFolder);
    Reply(File("AAF"));
    const wchar_t* path = nullptr;
    ASSERT_EQ(S_OK, Get(kPrefixW + std::wstring(300, L'n'), &path));
    EXPECT_EQ(kVersionFolderW + std::wstring(227, L'n') + L".aaf", path);
    EXPECT_EQ("AAF", Fetched(std::string(227, 'n') + ".aaf"));
    EXPECT_EQ(Element("InterplayURI", "interplay://WG/Projects/Assets/x" + std::string(227, 'n')),
              elementOf(BodyOf(OnlyRequest()), "types:InterplayURI"));
}

TEST_F(Latest, NullArgumentsAreRefusedWithoutAMessageBox) {
    const wchar_t* path = L"untouched";
    EXPECT_EQ(ZU_E_INVALIDARG, Get(kPrefixW + L"clip", nullptr));
    EXPECT_EQ(ZU_E_INVALIDARG, access->GetLatest(nullptr, &path));
    EXPECT_STREQ(L"untouched", path);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(0u, server.connections());
}

} // namespace
