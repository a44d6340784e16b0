// Module handles and names, debug output, window messages, GUID strings and the
// message box.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "KoWindows.h"
#include "StderrCapture.h"
#include "TempDir.h"

namespace fs = std::filesystem;

namespace {

// "中文" in GBK and UTF-8.
const std::string kZhongWenGbk = "\xD6\xD0\xCE\xC4";
const std::string kZhongWenUtf8 = "\xE4\xB8\xAD\xE6\x96\x87";

std::string selfPath() {
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path);
    return n > 0 ? std::string(path, static_cast<size_t>(n)) : std::string();
}

std::string platformLibraryPath() {
    Dl_info info;
    dladdr(reinterpret_cast<void*>(&MultiByteToWideChar), &info);
    return fs::canonical(info.dli_fname).string();
}

TEST(ModuleHandle, IsTheBaseOfTheModuleHoldingTheAddress) {
    HMODULE platform = KoGetModuleHandleFromAddress(reinterpret_cast<void*>(&MultiByteToWideChar));
    ASSERT_NE(nullptr, platform);
    EXPECT_EQ(platform, KoGetModuleHandleFromAddress(reinterpret_cast<void*>(&RegCloseKey)));
    HMODULE self = KoGetModuleHandleFromAddress(reinterpret_cast<void*>(&selfPath));
    EXPECT_NE(nullptr, self);
    EXPECT_NE(platform, self);
    EXPECT_EQ(nullptr, KoGetModuleHandleFromAddress(nullptr));
    EXPECT_TRUE(DisableThreadLibraryCalls(platform));
}

TEST(ModuleFileName, GivesTheFullPathOfTheModule) {
    char path[PATH_MAX];
    HMODULE platform = KoGetModuleHandleFromAddress(reinterpret_cast<void*>(&MultiByteToWideChar));
    DWORD n = GetModuleFileNameA(platform, path, sizeof path);
    EXPECT_EQ(platformLibraryPath(), std::string(path));
    EXPECT_EQ(strlen(path), n);

    HMODULE self = KoGetModuleHandleFromAddress(reinterpret_cast<void*>(&selfPath));
    GetModuleFileNameA(self, path, sizeof path);
    EXPECT_EQ(selfPath(), std::string(path));
    GetModuleFileNameA(nullptr, path, sizeof path); // null: the executable
    EXPECT_EQ(selfPath(), std::string(path));
}

TEST(ModuleFileName, CutsAtTheBufferAsWindowsDoes) {
    HMODULE platform = KoGetModuleHandleFromAddress(reinterpret_cast<void*>(&MultiByteToWideChar));
    std::string full = platformLibraryPath();
    std::vector<char> buffer(full.size() + 4, '#');

    // Exactly enough room.
    EXPECT_EQ(full.size(), GetModuleFileNameA(platform, buffer.data(), full.size() + 1));
    EXPECT_EQ(full, std::string(buffer.data()));

    // One byte short: cut, terminated, the size returned.
    std::fill(buffer.begin(), buffer.end(), '#');
    SetLastError(0);
    DWORD size = static_cast<DWORD>(full.size());
    EXPECT_EQ(size, GetModuleFileNameA(platform, buffer.data(), size));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    EXPECT_EQ(full.substr(0, size - 1), std::string(buffer.data()));
    EXPECT_EQ('#', buffer[size]);

    SetLastError(0);
    EXPECT_EQ(0u, GetModuleFileNameA(platform, buffer.data(), 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
}

TEST(ModuleFileName, ConvertsToTheThreadCodePageAndCutsWholeCharacters) {
    // A small library copied into a folder named "中文" and loaded from there.
    TempDir dir;
    fs::create_directories(dir.file(kZhongWenUtf8));
    std::string copy = dir.file(kZhongWenUtf8 + "/libcopy.so");
    fs::copy_file(ZU_MODULE_PROBE, copy);
    void* library = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(nullptr, library) << dlerror();
    HMODULE module = KoGetModuleHandleFromAddress(dlsym(library, "koModuleProbe"));
    ASSERT_NE(nullptr, module);

    std::string expected = fs::canonical(dir.path()).string() + "/" + kZhongWenGbk + "/libcopy.so";
    char path[PATH_MAX];
    EXPECT_EQ(expected.size(), GetModuleFileNameA(module, path, sizeof path));
    EXPECT_EQ(expected, std::string(path));

    // A buffer that ends inside "中": the cut falls before it.
    size_t prefix = expected.find(kZhongWenGbk);
    std::vector<char> small(prefix + 8, '#');
    DWORD size = static_cast<DWORD>(prefix + 2); // room for prefix + 1 byte + terminator
    EXPECT_EQ(size, GetModuleFileNameA(module, small.data(), size));
    EXPECT_EQ(expected.substr(0, prefix), std::string(small.data()));
    EXPECT_EQ('#', small[size]);
    dlclose(library);
}

TEST(ModuleFileName, UnknownModule) {
    char path[64];
    int local = 0;
    SetLastError(0);
    EXPECT_EQ(0u, GetModuleFileNameA(reinterpret_cast<HMODULE>(&local), path, sizeof path));
    EXPECT_EQ(static_cast<DWORD>(ERROR_MOD_NOT_FOUND), GetLastError());
    EXPECT_EQ(0u, GetModuleFileNameA(nullptr, nullptr, 10));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
}

TEST(DebugOutput, GoesToTheInstalledHandler) {
    std::vector<std::string> texts;
    KoSetDebugOutputHandler(
        [](const char* text, void* context) {
            static_cast<std::vector<std::string>*>(context)->push_back(text);
        },
        &texts);
    OutputDebugStringA(("module " + kZhongWenGbk + "\n").c_str());
    OutputDebugStringA(nullptr);
    KoSetDebugOutputHandler(nullptr, nullptr);
    ASSERT_EQ(1u, texts.size());
    EXPECT_EQ("module " + kZhongWenGbk + "\n", texts[0]); // as given, not converted
}

TEST(DebugOutput, DefaultIsSilentUnlessEnabled) {
    unsetenv("KO_DEBUG_OUTPUT");
    {
        StderrCapture err;
        OutputDebugStringA("hidden\n");
        EXPECT_EQ("", err.text());
    }
    setenv("KO_DEBUG_OUTPUT", "1", 1);
    StderrCapture err;
    OutputDebugStringA((kZhongWenGbk + "\n").c_str());
    unsetenv("KO_DEBUG_OUTPUT");
    EXPECT_EQ(kZhongWenUtf8 + "\n", err.text());
}

TEST(WindowMessage, NamesEqualIgnoringAsciiCaseShareAnId) {
    UINT a = RegisterWindowMessageA("KO_NOTIFY_SWITCH_DRIVER");
    UINT b = RegisterWindowMessageA("KO_GET_XDCAM_EXPORT_INFO");
    EXPECT_GE(a, 0xC000u);
    EXPECT_LE(a, 0xFFFFu);
    EXPECT_NE(a, b);
    EXPECT_EQ(a, RegisterWindowMessageA("ko_notify_switch_driver"));
    EXPECT_EQ(b, RegisterWindowMessageA("KO_GET_XDCAM_EXPORT_INFO"));
}

TEST(WindowMessage, TrailBytesAreNotLetters) {
    // 0x81 0x41 and 0x81 0x61 are two different characters, not "A" and "a".
    UINT upper = RegisterWindowMessageA("msg\x81\x41");
    UINT lower = RegisterWindowMessageA("msg\x81\x61");
    EXPECT_NE(0u, upper);
    EXPECT_NE(upper, lower);
}

TEST(WindowMessage, EmptyNames) {
    SetLastError(0);
    EXPECT_EQ(0u, RegisterWindowMessageA(""));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ(0u, RegisterWindowMessageA(nullptr));
}

TEST(GuidString, RegistryFormInUpperCase) {
    const GUID clsid = {0xF760A3F0, 0xB7DE, 0x4909, {0x9B, 0xB2, 0x63, 0x0F, 0x8E, 0x04, 0xC8, 0x28}};
    wchar_t text[40];
    EXPECT_EQ(39, StringFromGUID2(clsid, text, 39));
    EXPECT_STREQ(L"{F760A3F0-B7DE-4909-9BB2-630F8E04C828}", text);

    const GUID small = {0x1, 0x2, 0x3, {0, 0, 0, 0, 0, 0, 0, 0xA}};
    EXPECT_EQ(39, StringFromGUID2(small, text, 40));
    EXPECT_STREQ(L"{00000001-0002-0003-0000-00000000000A}", text);

    wchar_t shortBuffer[38] = {L'#'};
    EXPECT_EQ(0, StringFromGUID2(clsid, shortBuffer, 38));
    EXPECT_EQ(L'#', shortBuffer[0]);
    EXPECT_EQ(0, StringFromGUID2(clsid, nullptr, 39));
}

struct BoxCall {
    std::string ansi, utf8;
    unsigned type = 0;
};

TEST(MessageBox, CallsTheHandlerWithBothForms) {
    BoxCall call;
    KoSetMessageBoxHandler(
        [](const char* ansi, const char* utf8, unsigned type, void* context) {
            BoxCall* c = static_cast<BoxCall*>(context);
            c->ansi = ansi;
            c->utf8 = utf8;
            c->type = type;
            return 7;
        },
        &call);
    EXPECT_EQ(7, AfxMessageBox(("GetLatest " + kZhongWenGbk).c_str(), 0x30));
    KoSetMessageBoxHandler(nullptr, nullptr);
    EXPECT_EQ("GetLatest " + kZhongWenGbk, call.ansi);
    EXPECT_EQ("GetLatest " + kZhongWenUtf8, call.utf8);
    EXPECT_EQ(0x30u, call.type);
}

TEST(MessageBox, DefaultWritesOneLineToStderr) {
    StderrCapture err;
    EXPECT_EQ(IDOK, AfxMessageBox(kZhongWenGbk.c_str()));
    EXPECT_EQ(IDOK, AfxMessageBox(nullptr));
    EXPECT_EQ("[MessageBox] " + kZhongWenUtf8 + "\n[MessageBox] \n", err.text());
}

} // namespace
