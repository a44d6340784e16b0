#include "CZuConnectionSettings.h"

#include <stdlib.h>
#include <wchar.h>

#include <vector>

#include "IZuInterplayAccess.h"
#include "IZuInterplayConnection.h"
#include "KoWindows.h"

namespace {

// A REG_DWORD value, or a REG_SZ one holding a decimal number.
bool ReadNumber(HKEY key, const wchar_t* name, ULONG* out) {
    DWORD type = 0, bytes = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) return false;
    if (type == REG_DWORD && bytes == sizeof(DWORD)) {
        DWORD value = 0;
        if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &bytes) !=
            ERROR_SUCCESS)
            return false;
        *out = value;
        return true;
    }
    if (type != REG_SZ || bytes == 0 || bytes > 64) return false;
    wchar_t text[33] = {};
    DWORD size = sizeof text - sizeof(wchar_t);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS)
        return false;
    wchar_t* end = nullptr;
    unsigned long value = wcstoul(text, &end, 10);
    if (end == text || *end != L'\0' || value > 0xFFFFFFFFul) return false;
    *out = static_cast<ULONG>(value);
    return true;
}

bool ReadText(HKEY key, const wchar_t* name, std::wstring* out) {
    DWORD type = 0, bytes = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS || type != REG_SZ)
        return false;
    std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 1, L'\0');
    DWORD size = static_cast<DWORD>((text.size() - 1) * sizeof(wchar_t));
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) !=
        ERROR_SUCCESS)
        return false;
    *out = text.data();
    return true;
}

} // namespace

CZuConnectionSettings::CZuConnectionSettings()
    : connectTimeoutMs(ZU_DEFAULT_CONNECT_TIMEOUT_MS),
      idleTimeoutMs(ZU_DEFAULT_IDLE_TIMEOUT_MS),
      callTimeoutMs(ZU_DEFAULT_CALL_TIMEOUT_MS),
      verifyServer(true),
      responseLimitBytes(ZU_DEFAULT_RESPONSE_LIMIT_BYTES) {}

std::wstring CZuConnectionSettings::RegistryKey() {
    wchar_t clsid[40];
    if (StringFromGUID2(CLSID_ZuInterplayAccess, clsid, 40) == 0) return std::wstring();
    return std::wstring(L"CLSID\\") + clsid + L"\\Settings";
}

void CZuConnectionSettings::LoadMachineDefaults() {
    std::wstring name = RegistryKey();
    HKEY key = nullptr;
    if (name.empty() || RegOpenKeyExW(HKEY_CLASSES_ROOT, name.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    ReadNumber(key, L"ConnectTimeoutMs", &connectTimeoutMs);
    ReadNumber(key, L"IdleTimeoutMs", &idleTimeoutMs);
    ReadNumber(key, L"CallTimeoutMs", &callTimeoutMs);
    ReadText(key, L"TrustedCertificates", &trustedCertificates);
    ULONG verify = 1;
    if (ReadNumber(key, L"VerifyServerCertificate", &verify)) verifyServer = verify != 0;
    ReadNumber(key, L"ResponseLimitBytes", &responseLimitBytes);
    RegCloseKey(key);
}
