// The component as a Windows host meets it: registered with regsvr32 and
// created with CoCreateInstance by its CLSID alone, then used against the
// Assets service simulator with Chinese names in code page 936.
// run-com-host-test.sh runs it twice under Wine: after regsvr32, with the
// simulator's URL and root folder in ZU_TEST_SERVICE_URL and ZU_TEST_ROOT_URI;
// after regsvr32 /u, with ZU_TEST_UNREGISTERED=1.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "InterplayClient.h"
#include "KoPlatform.h"
#include "KoWindows.h"
#include "Text.h"
#include "ZuInterplayAccess.h"

namespace fs = std::filesystem;

namespace {

std::string Env(const char* name) {
    const char* value = getenv(name);
    return value ? value : "";
}

std::string ReadFile(const std::string& utf8Path) {
    std::ifstream in(fs::u8path(utf8Path), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Bytes(size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 2654435761u + seed) >> 13);
    return bytes;
}

// The class key's value (null name: the default value); empty when missing.
std::wstring ClassKeyValue(const wchar_t* subKey, const wchar_t* name) {
    wchar_t clsid[40];
    StringFromGUID2(CLSID_ZuInterplayAccess, clsid, 40);
    std::wstring key = std::wstring(L"CLSID\\") + clsid + subKey;
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return std::wstring();
    wchar_t data[1024] = {};
    DWORD bytes = sizeof data - sizeof(wchar_t);
    DWORD type = 0;
    LONG error = RegQueryValueExW(handle, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &bytes);
    RegCloseKey(handle);
    return error == ERROR_SUCCESS && type == REG_SZ ? std::wstring(data) : std::wstring();
}

class ComHost : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
        // Narrow text of this thread is GBK, as on the editing system's machines.
        KoSetThreadCodePage(936);
        ASSERT_EQ(KoGetThreadCodePage(), 936u);
    }
    void TearDown() override {
        if (access) access->Release();
        CoUninitialize();
    }

    HRESULT Create() {
        return CoCreateInstance(CLSID_ZuInterplayAccess, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IZuInterplayAccess, reinterpret_cast<void**>(&access));
    }

    IZuInterplayAccess* access = nullptr;
};

TEST_F(ComHost, RegisteredComponentWorksWithChineseNames) {
    std::string url = Env("ZU_TEST_SERVICE_URL"), root = Env("ZU_TEST_ROOT_URI");
    if (url.empty() || Env("ZU_TEST_UNREGISTERED") == "1") GTEST_SKIP() << "not the registered run";

    // regsvr32 wrote the class key: the DLL's path and the threading model.
    std::wstring server = ClassKeyValue(L"\\InprocServer32", nullptr);
    EXPECT_NE(server.find(L"ZuInterplayAccess.dll"), std::wstring::npos) << Utf8(server);
    EXPECT_EQ(ClassKeyValue(L"\\InprocServer32", L"ThreadingModel"), L"Both");

    ASSERT_EQ(Create(), S_OK);
    ASSERT_NE(access, nullptr);
    ASSERT_EQ(access->SetServiceURL(Wide(url).c_str()), S_OK);
    ASSERT_EQ(access->SetCredentials(L"editor", L"editor"), S_OK);
    InterplayClient client(access);

    // The folders the component writes into, which the host provides.
    fs::create_directories(L"c:\\Kestrava\\ConvertFile");
    fs::create_directories(
        L"C:\\\x975E\x7F16\x7CFB\x7EDF\x4E34\x65F6\x6587\x4EF6\\\x4E34\x65F6\x6587\x4EF6\x76EE\x5F55");
    fs::path work = fs::temp_directory_path() / L"zu-com-host-\x7D20\x6750";
    fs::create_directories(work);
    std::string aaf = Utf8((work / L"\x91C7\x8BBF.aaf").wstring()); // 采访.aaf
    std::string jpg = Utf8((work / L"\x91C7\x8BBF.jpg").wstring());
    std::string aafBytes = Bytes(300000, 1);
    std::ofstream(fs::u8path(aaf), std::ios::binary) << aafBytes;
    std::ofstream(fs::u8path(jpg), std::ios::binary) << Bytes(20000, 2);

    const std::string news = root + "/新闻";
    Result folder = client.CreateFolder(news);
    ASSERT_TRUE(folder.ok) << folder.error;
    Result checkIn =
        client.CheckInAAF(aaf, news, jpg, {{"USER", "Name", "采访"}, {"USER", "标题", "晚间新闻"}});
    ASSERT_TRUE(checkIn.ok) << checkIn.error;
    std::string clip = checkIn.data.value("uri", "");
    ASSERT_FALSE(clip.empty());

    Result listing = client.List(news, false);
    ASSERT_TRUE(listing.ok) << listing.error;
    ASSERT_EQ(listing.data.size(), 1u);
    EXPECT_EQ(listing.data[0].value("name", ""), "采访");

    Result attributes = client.GetAttributes(clip);
    ASSERT_TRUE(attributes.ok) << attributes.error;
    bool titled = false;
    for (const auto& a : attributes.data)
        titled = titled || (a.value("name", "") == "标题" && a.value("value", "") == "晚间新闻");
    EXPECT_TRUE(titled) << attributes.data.dump();

    ConditionSpec title;
    ASSERT_TRUE(ConditionSpec::Parse("USER:标题~新闻", &title));
    Result found = client.Search(news, true, 20, {title});
    ASSERT_TRUE(found.ok) << found.error;
    ASSERT_EQ(found.data.size(), 1u);
    EXPECT_EQ(found.data[0].value("uri", ""), clip);

    Result latest = client.GetLatest(clip);
    ASSERT_TRUE(latest.ok) << latest.error;
    EXPECT_EQ(ReadFile(latest.data.value("local", "")), aafBytes);

    Result deleted = client.Delete({clip}, false, false);
    ASSERT_TRUE(deleted.ok) << deleted.error;
    Result after = client.List(news, false);
    ASSERT_TRUE(after.ok) << after.error;
    EXPECT_EQ(after.data.size(), 0u);
    fs::remove_all(work);
}

TEST_F(ComHost, UnregisteredComponentCannotBeCreated) {
    if (Env("ZU_TEST_UNREGISTERED") != "1") GTEST_SKIP() << "not the unregistered run";
    EXPECT_EQ(ClassKeyValue(L"\\InprocServer32", nullptr), L"");
    EXPECT_EQ(Create(), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(access, nullptr);
}

} // namespace
