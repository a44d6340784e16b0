// The folder-tree registry under HKEY_CLASSES_ROOT.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "KoWindows.h"
#include "TempDir.h"

namespace fs = std::filesystem;

namespace {

const wchar_t kServerKey[] = L"CLSID\\{F760A3F0-B7DE-4909-9BB2-630F8E04C828}\\InprocServer32";

LONG setText(HKEY key, const wchar_t* name, const std::wstring& text) {
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// The text of a REG_SZ value, or the error as text.
std::wstring queryText(HKEY key, const wchar_t* name) {
    DWORD type = REG_NONE, bytes = 0;
    LONG error = RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes);
    if (error != ERROR_SUCCESS) return L"error " + std::to_wstring(error);
    if (type != REG_SZ) return L"type " + std::to_wstring(type);
    std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 1, L'#');
    error = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &bytes);
    if (error != ERROR_SUCCESS) return L"error " + std::to_wstring(error);
    return text.data();
}

std::vector<std::wstring> subKeys(HKEY key) {
    std::vector<std::wstring> names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD chars = 256;
        LONG error = RegEnumKeyExW(key, i, name, &chars, nullptr, nullptr, nullptr, nullptr);
        if (error == ERROR_NO_MORE_ITEMS) break;
        EXPECT_EQ(ERROR_SUCCESS, error);
        if (error != ERROR_SUCCESS) break;
        EXPECT_EQ(wcslen(name), chars);
        names.push_back(name);
    }
    return names;
}

// Creates the key and hands it back open.
HKEY create(HKEY parent, const wchar_t* subKey, DWORD* disposition = nullptr) {
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExW(parent, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                             KEY_ALL_ACCESS, nullptr, &key, disposition));
    return key;
}

class Registry : public ::testing::Test {
protected:
    ScopedKoRoots roots;
    std::string root() const { return roots.registry().path(); }
};

TEST_F(Registry, RegistrationWrittenTwiceKeepsTheSameValues) {
    for (int round = 0; round < 2; ++round) {
        DWORD disposition = 0;
        HKEY key = create(HKEY_CLASSES_ROOT, kServerKey, &disposition);
        ASSERT_NE(nullptr, key);
        EXPECT_EQ(round == 0 ? static_cast<DWORD>(REG_CREATED_NEW_KEY)
                             : static_cast<DWORD>(REG_OPENED_EXISTING_KEY),
                  disposition);
        EXPECT_EQ(ERROR_SUCCESS, setText(key, nullptr, L"/opt/编辑/libZu.so"));
        EXPECT_EQ(ERROR_SUCCESS, setText(key, L"ThreadingModel", L"Both"));
        EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
    }
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CLASSES_ROOT, kServerKey, 0, KEY_READ, &key));
    EXPECT_EQ(L"/opt/编辑/libZu.so", queryText(key, nullptr));
    EXPECT_EQ(L"/opt/编辑/libZu.so", queryText(key, L"")); // empty name: the default value too
    EXPECT_EQ(L"Both", queryText(key, L"ThreadingModel"));
    RegCloseKey(key);

    // On disk: one folder per key, one file per value, the text in UTF-8.
    std::string folder = root() + "/CLSID/{F760A3F0-B7DE-4909-9BB2-630F8E04C828}/InprocServer32";
    auto read = [&](const char* name) {
        std::ifstream in(folder + "/" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    EXPECT_EQ("1\nBoth", read("=ThreadingModel"));
    EXPECT_EQ("1\n/opt/\xE7\xBC\x96\xE8\xBE\x91/libZu.so", read("="));
    int files = 0;
    for (const auto& entry : fs::directory_iterator(folder)) ++files, (void)entry;
    EXPECT_EQ(2, files); // no temporary file left behind
}

TEST_F(Registry, QueryFollowsWindowsSizeRules) {
    HKEY key = create(HKEY_CLASSES_ROOT, L"Sizes");
    ASSERT_EQ(ERROR_SUCCESS, setText(key, L"v", L"Both"));
    const DWORD needed = 5 * sizeof(wchar_t);

    DWORD type = 0, bytes = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, L"v", nullptr, &type, nullptr, &bytes));
    EXPECT_EQ(needed, bytes);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);

    wchar_t small[4] = {L'#', L'#', L'#', L'#'};
    bytes = sizeof small;
    EXPECT_EQ(ERROR_MORE_DATA,
              RegQueryValueExW(key, L"v", nullptr, &type, reinterpret_cast<BYTE*>(small), &bytes));
    EXPECT_EQ(needed, bytes);
    EXPECT_EQ(L'#', small[0]); // nothing written

    wchar_t exact[5];
    bytes = sizeof exact;
    EXPECT_EQ(ERROR_SUCCESS,
              RegQueryValueExW(key, L"v", nullptr, nullptr, reinterpret_cast<BYTE*>(exact), &bytes));
    EXPECT_STREQ(L"Both", exact);

    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExW(key, L"missing", nullptr, &type, nullptr, &bytes));
    EXPECT_EQ(ERROR_INVALID_PARAMETER,
              RegQueryValueExW(key, L"v", nullptr, nullptr, reinterpret_cast<BYTE*>(exact), nullptr));
    RegCloseKey(key);
}

TEST_F(Registry, SetValueTakesUnterminatedAndUnalignedText) {
    HKEY key = create(HKEY_CLASSES_ROOT, L"Text");
    // Two characters given without their terminator, at an odd address.
    std::vector<BYTE> raw(1 + 2 * sizeof(wchar_t) + 1);
    const wchar_t text[] = L"ok";
    memcpy(raw.data() + 1, text, 2 * sizeof(wchar_t));
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExW(key, L"t", 0, REG_SZ, raw.data() + 1,
                                            2 * sizeof(wchar_t) + 1)); // a stray half character
    EXPECT_EQ(L"ok", queryText(key, L"t"));
    // Text stops at the first NUL.
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExW(key, L"n", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"a\0b"),
                                            4 * sizeof(wchar_t)));
    EXPECT_EQ(L"a", queryText(key, L"n"));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegSetValueExW(key, L"x", 0, REG_SZ, nullptr, 4));
    RegCloseKey(key);
}

TEST_F(Registry, EnumeratesSubkeysInNameOrder) {
    HKEY parent = create(HKEY_CLASSES_ROOT, L"Enum");
    for (const wchar_t* name : {L"b", L"中文", L"a", L"c"}) RegCloseKey(create(parent, name));
    ASSERT_EQ(ERROR_SUCCESS, setText(parent, L"a value", L"not a key"));
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"b", L"c", L"中文"}), subKeys(parent));

    // A buffer without room for the terminator.
    wchar_t name[2];
    DWORD chars = 1;
    EXPECT_EQ(ERROR_MORE_DATA, RegEnumKeyExW(parent, 0, name, &chars, nullptr, nullptr, nullptr, nullptr));
    chars = 2;
    EXPECT_EQ(ERROR_SUCCESS, RegEnumKeyExW(parent, 0, name, &chars, nullptr, nullptr, nullptr, nullptr));
    EXPECT_STREQ(L"a", name);
    EXPECT_EQ(1u, chars);
    EXPECT_EQ(ERROR_NO_MORE_ITEMS,
              RegEnumKeyExW(parent, 4, name, &chars, nullptr, nullptr, nullptr, nullptr));
    RegCloseKey(parent);
    EXPECT_TRUE(fs::is_directory(root() + "/Enum/\xE4\xB8\xAD\xE6\x96\x87"));
}

TEST_F(Registry, NamesThatLookLikeFilesOrPathsStayKeys) {
    // Key and value with the same name, names with '/', '%', '=', and dots.
    HKEY key = create(HKEY_CLASSES_ROOT, L"Names");
    const wchar_t* names[] = {L"same", L"=x", L"a/b", L"%41", L"..", L"."};
    for (const wchar_t* name : names) {
        RegCloseKey(create(key, name));
        EXPECT_EQ(ERROR_SUCCESS, setText(key, name, std::wstring(L"value of ") + name));
    }
    EXPECT_EQ((std::vector<std::wstring>{L"%41", L".", L"..", L"=x", L"a/b", L"same"}), subKeys(key));
    for (const wchar_t* name : names) EXPECT_EQ(std::wstring(L"value of ") + name, queryText(key, name));
    RegCloseKey(key);
    // Nothing landed outside the tree.
    EXPECT_FALSE(fs::exists(fs::path(root()).parent_path() / "=x"));
    EXPECT_EQ(1, std::distance(fs::directory_iterator(root()), fs::directory_iterator()));
}

TEST_F(Registry, DeleteRemovesLeafKeysWithTheirValues) {
    HKEY key = create(HKEY_CLASSES_ROOT, kServerKey);
    setText(key, nullptr, L"path");
    RegCloseKey(key);
    const wchar_t kClsid[] = L"CLSID\\{F760A3F0-B7DE-4909-9BB2-630F8E04C828}";

    EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteKeyW(HKEY_CLASSES_ROOT, kClsid)); // has a subkey
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyW(HKEY_CLASSES_ROOT, kServerKey));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyW(HKEY_CLASSES_ROOT, kClsid));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteKeyW(HKEY_CLASSES_ROOT, kClsid));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(HKEY_CLASSES_ROOT, kServerKey, 0, KEY_READ, &key));
    EXPECT_TRUE(fs::is_empty(root() + "/CLSID"));
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteKeyW(HKEY_CLASSES_ROOT, L""));
}

TEST_F(Registry, OpenKeyWhoseFolderIsGone) {
    HKEY key = create(HKEY_CLASSES_ROOT, L"Gone");
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyW(HKEY_CLASSES_ROOT, L"Gone"));
    EXPECT_EQ(ERROR_KEY_DELETED, setText(key, L"v", L"x"));
    EXPECT_FALSE(fs::exists(root() + "/Gone"));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
}

TEST_F(Registry, BadArguments) {
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(HKEY_CLASSES_ROOT, L"Absent", 0, KEY_READ, &key));
    EXPECT_EQ(nullptr, key);
    EXPECT_EQ(ERROR_BAD_PATHNAME, RegCreateKeyExW(HKEY_CLASSES_ROOT, L"a\\\\b", 0, nullptr, 0, KEY_ALL_ACCESS,
                                                  nullptr, &key, nullptr));
    EXPECT_EQ(ERROR_BAD_PATHNAME, RegCreateKeyExW(HKEY_CLASSES_ROOT, L"\\a", 0, nullptr, 0, KEY_ALL_ACCESS,
                                                  nullptr, &key, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegCreateKeyExW(HKEY_CLASSES_ROOT, nullptr, 0, nullptr, 0,
                                                       KEY_ALL_ACCESS, nullptr, &key, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegCreateKeyExW(HKEY_CLASSES_ROOT, L"a", 0, nullptr, 0, KEY_ALL_ACCESS,
                                                       nullptr, nullptr, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegCreateKeyExW(HKEY_CLASSES_ROOT, std::wstring(256, L'k').c_str(), 0,
                                                       nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(nullptr));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegSetValueExW(nullptr, L"v", 0, REG_SZ, nullptr, 0));
    // Another predefined key is not available.
    EXPECT_EQ(ERROR_INVALID_HANDLE,
              RegOpenKeyExW(reinterpret_cast<HKEY>(uintptr_t(0x80000001u)), L"Software", 0, KEY_READ, &key));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(HKEY_CLASSES_ROOT)); // never freed
    EXPECT_EQ(ERROR_NO_MORE_ITEMS, [&] {
        wchar_t name[8];
        DWORD chars = 8;
        return RegEnumKeyExW(HKEY_CLASSES_ROOT, 0, name, &chars, nullptr, nullptr, nullptr, nullptr);
    }());
}

TEST_F(Registry, RootFollowsTheEnvironmentOnEveryCall) {
    TempDir other;
    RegCloseKey(create(HKEY_CLASSES_ROOT, L"First"));
    setenv("KO_REGISTRY_ROOT", other.path().c_str(), 1);
    RegCloseKey(create(HKEY_CLASSES_ROOT, L"Second"));
    EXPECT_TRUE(fs::is_directory(root() + "/First"));
    EXPECT_TRUE(fs::is_directory(other.path() + "/Second"));

    // Without the variable: under the home folder, created on first write.
    TempDir home;
    std::string oldHome = getenv("HOME") ? getenv("HOME") : "";
    unsetenv("KO_REGISTRY_ROOT");
    setenv("HOME", home.path().c_str(), 1);
    HKEY key = create(HKEY_CLASSES_ROOT, L"Third");
    setenv("HOME", oldHome.c_str(), 1);
    RegCloseKey(key);
    EXPECT_TRUE(fs::is_directory(home.path() + "/.local/share/ko/registry/Third"));
}

} // namespace
