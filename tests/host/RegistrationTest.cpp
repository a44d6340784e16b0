// Self-registration of the loaded library, read back through the registry.
#include <dlfcn.h>
#include <stdlib.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "KoCodePage.h"
#include "KoPlatform.h"
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

const std::string kClassKey = "CLSID\\{F760A3F0-B7DE-4909-9BB2-630F8E04C828}";

// Registers a module path for the class by hand.
void WriteServer(const std::string& modulePath) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, Wide(kClassKey + "\\InprocServer32").c_str(), 0, nullptr,
                              REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    std::wstring path = Wide(modulePath);
    ASSERT_EQ(RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                             static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

} // namespace

TEST(Registration, WritesTheClassKeysAndRemovesThem) {
    ScopedKoRoots roots;
    void* library = dlopen(ZU_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    auto registerServer = reinterpret_cast<PFN_DllRegisterServer>(dlsym(library, "DllRegisterServer"));
    auto unregisterServer = reinterpret_cast<PFN_DllUnregisterServer>(dlsym(library, "DllUnregisterServer"));
    ASSERT_TRUE(registerServer && unregisterServer);

    const std::string key = kClassKey;
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

// KoCoCreateInstance finds the module through the registration, in a fresh
// registry per case.
TEST(Registration, CreatesByClassIdThroughTheRegisteredModule) {
    void* library = dlopen(ZU_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    auto registerServer = reinterpret_cast<PFN_DllRegisterServer>(dlsym(library, "DllRegisterServer"));
    ASSERT_TRUE(registerServer);
    struct Case {
        const char* name;
        std::function<void(const ScopedKoRoots&)> registration;
        HRESULT expected;
    } cases[] = {
        {"registered", [&](const ScopedKoRoots&) { ASSERT_EQ(registerServer(), S_OK); }, S_OK},
        {"not registered", [](const ScopedKoRoots&) {}, REGDB_E_CLASSNOTREG},
        {"class key without server", [](const ScopedKoRoots&) { WriteServer(""); }, REGDB_E_CLASSNOTREG},
        {"module missing",
         [](const ScopedKoRoots& roots) {
             WriteServer(roots.drives().file("gone/libZuInterplayAccess.so.1"));
         },
         HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND)},
        {"module without entry point", [](const ScopedKoRoots&) { WriteServer(ZU_PLATFORM_LIBRARY_PATH); },
         CO_E_ERRORINDLL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedKoRoots roots;
        c.registration(roots);
        void* object = reinterpret_cast<void*>(1);
        EXPECT_EQ(KoCoCreateInstance(CLSID_ZuInterplayAccess, nullptr, IID_IZuInterplayAccess, &object),
                  c.expected);
        if (c.expected != S_OK) {
            EXPECT_EQ(object, nullptr);
            continue;
        }
        ASSERT_NE(object, nullptr);
        auto* access = static_cast<IZuInterplayAccess*>(object);
        const wchar_t* text = nullptr;
        EXPECT_EQ(access->GetLastErrorText(&text), S_OK);
        access->Release();
    }
    EXPECT_EQ(KoCoCreateInstance(CLSID_ZuInterplayAccess, nullptr, IID_IZuInterplayAccess, nullptr),
              E_POINTER);
    dlclose(library);
}
