#include <dlfcn.h>

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "KoCodePage.h"
#include "KoGuid.h"
#include "KoRegistry.h"
#include "KoTextCodec.h"

namespace {

// The module path registered for a class (UTF-8), empty when there is none.
std::string RegisteredModule(REFCLSID clsid) {
    wchar_t clsidText[40];
    if (StringFromGUID2(clsid, clsidText, 40) == 0) return std::string();
    std::wstring keyName = std::wstring(L"CLSID\\") + clsidText + L"\\InprocServer32";
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, keyName.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return std::string();
    std::string path;
    DWORD type = REG_NONE;
    DWORD bytes = 0;
    if (RegQueryValueExW(key, nullptr, nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS && type == REG_SZ &&
        bytes >= sizeof(wchar_t)) {
        std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 1, L'\0');
        if (RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &bytes) ==
                ERROR_SUCCESS &&
            type == REG_SZ) {
            std::wstring wide(text.data());
            path = KoTextCodec::find(CP_UTF8)->encode(wide.data(), wide.size());
        }
    }
    RegCloseKey(key);
    return path;
}

// The modules loaded so far by path, each with its DllGetClassObject; they are
// never unloaded, as objects and class factories may outlive any caller.
std::mutex& LoadedLock() {
    static std::mutex lock;
    return lock;
}

std::map<std::string, PFN_DllGetClassObject>& Loaded() {
    static std::map<std::string, PFN_DllGetClassObject> loaded;
    return loaded;
}

HRESULT ClassObjectEntry(const std::string& path, PFN_DllGetClassObject* entry) {
    std::lock_guard<std::mutex> hold(LoadedLock());
    auto found = Loaded().find(path);
    if (found != Loaded().end()) {
        *entry = found->second;
        return S_OK;
    }
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) return HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
    void* address = dlsym(module, "DllGetClassObject");
    if (!address) {
        dlclose(module);
        return CO_E_ERRORINDLL;
    }
    *entry = reinterpret_cast<PFN_DllGetClassObject>(address);
    Loaded()[path] = *entry;
    return S_OK;
}

} // namespace

extern "C" {

HRESULT KoCoCreateInstance(REFCLSID clsid, IUnknown* outer, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    std::string path = RegisteredModule(clsid);
    if (path.empty()) return REGDB_E_CLASSNOTREG;
    PFN_DllGetClassObject getClassObject = nullptr;
    HRESULT hr = ClassObjectEntry(path, &getClassObject);
    if (FAILED(hr)) return hr;
    IClassFactory* factory = nullptr;
    hr = getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(hr)) return hr;
    if (!factory) return E_NOINTERFACE;
    hr = factory->CreateInstance(outer, iid, out);
    factory->Release();
    if (FAILED(hr)) *out = nullptr;
    return hr;
}

} // extern "C"
