// Self-registration of the loaded library, read back through the registry.
#include <dlfcn.h>
#include <stdlib.h>

#include <gtest/gtest.h>

#include <string>

#include "KoCodePage.h"
#include "KoRegistry.h"
#include "TempDir.h"
#include "ZuInterplayAccess.h"

namespace {

std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

// The value's text, "<absent>" when the key or value does not exist.
std::string ReadValue(const std::string& keyPath, const std::wstring& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, Wide(keyPath).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<absent>";
    wchar_t data[600];
    DWORD bytes = sizeof data;
    DWORD type = 0;
    LONG rc = RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &bytes);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || type != REG_SZ) return "<absent>";
    char narrow[1200];
    WideCharToMultiByte(CP_UTF8, 0, data, -1, narrow, sizeof narrow, nullptr, nullptr);
    return narrow;
}

} // namespace

TEST(Registration, WritesTheClassKeysAndRemovesThem) {
    ScopedKoRoots roots;
    void* library = dlopen(ZU_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    auto registerServer = reinterpret_cast<PFN_DllRegisterServer>(dlsym(library, "DllRegisterServer"));
    auto unregisterServer = reinterpret_cast<PFN_DllUnregisterServer>(dlsym(library, "DllUnregisterServer"));
    ASSERT_TRUE(registerServer && unregisterServer);

    const std::string key = "CLSID\\{F760A3F0-B7DE-4909-9BB2-630F8E04C828}";
    char* real = realpath(ZU_LIBRARY_PATH, nullptr);
    for (int pass = 0; pass < 2; ++pass) { // registering again overwrites the same values
        ASSERT_EQ(registerServer(), S_OK);
        EXPECT_EQ(ReadValue(key, L""), "Orvelin InterplayAccess");
        EXPECT_EQ(ReadValue(key + "\\InprocServer32", L""), real);
        EXPECT_EQ(ReadValue(key + "\\InprocServer32", L"ThreadingModel"), "Both");
    }
    free(real);
    ASSERT_EQ(unregisterServer(), S_OK);
    EXPECT_EQ(ReadValue(key, L""), "<absent>");
    EXPECT_EQ(ReadValue("CLSID", L""), "<absent>"); // CLSID itself stays, with no value
    HKEY clsid = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, L"CLSID", 0, KEY_READ, &clsid), ERROR_SUCCESS);
    if (clsid) RegCloseKey(clsid);
    EXPECT_EQ(unregisterServer(), S_OK); // nothing registered: still fine
}
