// Entry points of the in-process server, its load and unload steps, and
// self-registration under HKEY_CLASSES_ROOT.
#include "KoComServer.h"

#include <stdio.h>
#include <wchar.h>

#include <new>
#include <string>

#include "CKoBaseObject.h"
#include "CKoClassFactory.h"
#include "KoText.h"
#include "KoWindowMessages.h"
#include "KoWindows.h"

namespace {

HMODULE g_module = nullptr;
volatile LONG g_serverLocks = 0;

void ProcessAttach() {
    KoRegisterWindowMessages();
    g_module = KoGetModuleHandleFromAddress(reinterpret_cast<const void*>(&ProcessAttach));
    DisableThreadLibraryCalls(g_module);
    for (int i = 0; i < g_KoClassTableCount; ++i)
        if (g_KoClassTable[i].load) g_KoClassTable[i].load(true, g_KoClassTable[i].clsid);
}

void ProcessDetach() {
    for (int i = 0; i < g_KoClassTableCount; ++i)
        if (g_KoClassTable[i].load) g_KoClassTable[i].load(false, g_KoClassTable[i].clsid);
}

// Runs the attach steps when the module is loaded and the detach steps when it
// is unloaded.
struct DllEntry {
    DllEntry() { ProcessAttach(); }
    ~DllEntry() { ProcessDetach(); }
} s_dllEntry;

HRESULT FromRegistry(LONG error) { return HRESULT_FROM_WIN32(static_cast<DWORD>(error)); }

HRESULT SetString(HKEY key, const wchar_t* name, const wchar_t* value) {
    const BYTE* data = reinterpret_cast<const BYTE*>(value);
    DWORD bytes = static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t));
    return FromRegistry(RegSetValueExW(key, name, 0, REG_SZ, data, bytes));
}

// CLSID\{...} with its default value, and InprocServer32 with the module's
// path and the threading model.
HRESULT WriteClassKeys(const KoClassTableEntry& entry, const wchar_t* modulePath) {
    wchar_t clsid[40];
    if (StringFromGUID2(*entry.clsid, clsid, 40) == 0) return E_FAIL;
    std::wstring keyName = std::wstring(L"CLSID\\") + clsid;

    HKEY classKey = nullptr;
    HRESULT hr =
        FromRegistry(RegCreateKeyExW(HKEY_CLASSES_ROOT, keyName.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     KEY_WRITE, nullptr, &classKey, nullptr));
    if (FAILED(hr)) return hr;
    hr = SetString(classKey, nullptr, entry.name);
    HKEY serverKey = nullptr;
    if (SUCCEEDED(hr))
        hr = FromRegistry(RegCreateKeyExW(classKey, L"InprocServer32", 0, nullptr, REG_OPTION_NON_VOLATILE,
                                          KEY_WRITE, nullptr, &serverKey, nullptr));
    if (SUCCEEDED(hr)) hr = SetString(serverKey, nullptr, modulePath);
    if (SUCCEEDED(hr)) hr = SetString(serverKey, L"ThreadingModel", L"Both");
    if (serverKey) RegCloseKey(serverKey);
    RegCloseKey(classKey);
    return hr;
}

// Deletes a key with all its subkeys. An empty name is refused so that the
// parent can never be deleted by mistake; a key that is not there is fine.
HRESULT DeleteKeyTree(HKEY parent, const wchar_t* name) {
    if (!name || !*name) return E_FAIL;
    HKEY key = nullptr;
    if (RegOpenKeyExW(parent, name, 0, MAXIMUM_ALLOWED, &key) != ERROR_SUCCESS) return S_OK;
    for (;;) {
        wchar_t child[261];
        DWORD childChars = 261;
        if (RegEnumKeyExW(key, 0, child, &childChars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        DeleteKeyTree(key, child);
        // A subkey that could not be removed would be found again and again.
        HKEY check = nullptr;
        if (RegOpenKeyExW(key, child, 0, MAXIMUM_ALLOWED, &check) == ERROR_SUCCESS) {
            RegCloseKey(check);
            break;
        }
    }
    RegCloseKey(key);
    RegDeleteKeyW(parent, name);
    return S_OK;
}

void DebugOutput(const char* format, const wchar_t* name) {
    char line[300];
    snprintf(line, sizeof line, format, KoNarrow(name, 260).c_str());
    OutputDebugStringA(line);
}

} // namespace

HMODULE KoGetModuleHandle() { return g_module; }

void KoLockServer(bool lock) {
    if (lock)
        InterlockedIncrement(&g_serverLocks);
    else
        InterlockedDecrement(&g_serverLocks);
}

LONG KoGetServerLockCount() { return KoInterlockedRead(&g_serverLocks); }

HRESULT KoRegisterServer(bool registering) {
    char path[260];
    DWORD length = GetModuleFileNameA(g_module, path, sizeof path);
    if (length == 0) return HRESULT_FROM_WIN32(GetLastError());
    std::wstring modulePath = KoWiden(path);

    HRESULT hr = S_OK;
    for (int i = 0; i < g_KoClassTableCount; ++i) {
        const KoClassTableEntry& entry = g_KoClassTable[i];
        if (registering) {
            if (entry.registration) {
                hr = entry.registration(true, entry.clsid);
                if (FAILED(hr)) return hr;
            }
            hr = WriteClassKeys(entry, modulePath.c_str());
            DebugOutput("- - Register %s\n", entry.name);
            if (FAILED(hr)) return hr;
        } else {
            if (entry.registration) entry.registration(false, entry.clsid);
            wchar_t clsid[40];
            if (StringFromGUID2(*entry.clsid, clsid, 40) != 0)
                DeleteKeyTree(HKEY_CLASSES_ROOT, (std::wstring(L"CLSID\\") + clsid).c_str());
            DebugOutput("- - Unregister %s\n", entry.name);
            hr = S_OK;
        }
    }
    return hr;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (riid != IID_IUnknown && riid != IID_IClassFactory) return E_NOINTERFACE;
    for (int i = 0; i < g_KoClassTableCount; ++i) {
        if (*g_KoClassTable[i].clsid != clsid) continue;
        CKoClassFactory* factory = new (std::nothrow) CKoClassFactory(&g_KoClassTable[i]);
        if (!factory) return E_OUTOFMEMORY;
        factory->AddRef();
        *ppv = static_cast<IClassFactory*>(factory);
        return S_OK;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() {
    return CKoBaseObject::GetObjectCount() == 0 && KoGetServerLockCount() == 0 ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() { return KoRegisterServer(true); }

STDAPI DllUnregisterServer() { return KoRegisterServer(false); }
