#include "ComponentHost.h"

#include <stdio.h>

#include <filesystem>

#include "KoCodePage.h"
#include "KoLibrary.h"
#include "KoPlatform.h"

namespace {

std::string Hex(HRESULT hr) {
    char text[16];
    snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
    return text;
}

// An entry point of the library (exported functions convert through a
// function type without parameters).
template <class Function>
Function EntryPoint(void* library, const char* name) {
    FARPROC address = GetProcAddress(static_cast<HMODULE>(library), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

} // namespace

ComponentHost::~ComponentHost() {
    if (m_access) m_access->Release();
    if (m_library) {
        auto canUnload = EntryPoint<PFN_DllCanUnloadNow>(m_library, "DllCanUnloadNow");
        // Objects the host still holds keep the library loaded.
        if (!canUnload || canUnload() == S_OK) FreeLibrary(static_cast<HMODULE>(m_library));
    }
}

std::string ComponentHost::DefaultLibraryPath() {
    // ZU_COMPONENT_PATH: the library's place relative to this program's folder.
    char self[1024];
    DWORD n = GetModuleFileNameA(nullptr, self, sizeof self);
    if (n > 0 && n < sizeof self) {
        std::filesystem::path candidate =
            std::filesystem::u8path(KoAnsiToUtf8(self)).parent_path() / ZU_COMPONENT_PATH;
        std::error_code ec;
        if (std::filesystem::exists(candidate, ec)) return candidate.u8string();
    }
    return std::filesystem::path(ZU_COMPONENT_PATH).filename().string();
}

bool ComponentHost::Load(const std::string& libraryPath, std::string* error) {
    // The host's text is UTF-8, the loader's the thread's code page.
    m_library = LoadLibraryA(KoUtf8ToAnsi(libraryPath.data(), libraryPath.size()).c_str());
    if (!m_library) {
        *error =
            "cannot load the component " + libraryPath + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    auto getClassObject = EntryPoint<PFN_DllGetClassObject>(m_library, "DllGetClassObject");
    if (!getClassObject) {
        *error = libraryPath + " has no DllGetClassObject";
        return false;
    }
    IClassFactory* factory = nullptr;
    HRESULT hr =
        getClassObject(CLSID_ZuInterplayAccess, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(hr)) {
        *error = "DllGetClassObject failed: " + Hex(hr);
        return false;
    }
    hr = factory->CreateInstance(nullptr, IID_IZuInterplayAccess, reinterpret_cast<void**>(&m_access));
    factory->Release();
    if (FAILED(hr)) {
        *error = "creating the access object failed: " + Hex(hr);
        m_access = nullptr;
        return false;
    }
    return true;
}

bool ComponentHost::Create(std::string* error) {
    HRESULT hr = KoCoCreateInstance(CLSID_ZuInterplayAccess, nullptr, IID_IZuInterplayAccess,
                                    reinterpret_cast<void**>(&m_access));
    if (hr == REGDB_E_CLASSNOTREG) return Load(DefaultLibraryPath(), error);
    if (FAILED(hr)) {
        m_access = nullptr;
        *error = "creating the registered access object failed: " + Hex(hr) +
                 " (interplay-cli unregister removes a stale registration)";
        return false;
    }
    return true;
}

bool ComponentHost::Register(const std::string& libraryPath, bool install, std::string* error) {
    HMODULE library = LoadLibraryA(KoUtf8ToAnsi(libraryPath.data(), libraryPath.size()).c_str());
    if (!library) {
        *error =
            "cannot load the component " + libraryPath + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    const char* name = install ? "DllRegisterServer" : "DllUnregisterServer";
    auto entry = EntryPoint<PFN_DllRegisterServer>(library, name);
    HRESULT hr = entry ? entry() : E_FAIL;
    FreeLibrary(library);
    if (!entry)
        *error = libraryPath + " has no " + name;
    else if (FAILED(hr))
        *error = std::string(name) + " failed: " + Hex(hr);
    return entry && SUCCEEDED(hr);
}
