// The Ko extensions on Windows: small helpers over the Win32 API.
#include "KoWindows.h"

#include <errno.h>
#include <string.h>

#include <vector>

namespace {

bool IsAscii(const char* text, size_t bytes) {
    for (size_t i = 0; i < bytes; ++i)
        if (static_cast<unsigned char>(text[i]) >= 0x80) return false;
    return true;
}

std::wstring Widen(UINT codePage, const char* text, size_t bytes) {
    std::wstring wide;
    if (!text || bytes == 0 || bytes > 0x7FFFFFFF) return wide;
    int n = MultiByteToWideChar(codePage, 0, text, static_cast<int>(bytes), nullptr, 0);
    if (n <= 0) return wide;
    wide.resize(static_cast<size_t>(n));
    n = MultiByteToWideChar(codePage, 0, text, static_cast<int>(bytes), &wide[0], n);
    wide.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return wide;
}

std::string Narrow(UINT codePage, const std::wstring& wide) {
    std::string text;
    if (wide.empty() || wide.size() > 0x7FFFFFFF) return text;
    int chars = static_cast<int>(wide.size());
    int n = WideCharToMultiByte(codePage, 0, wide.data(), chars, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return text;
    text.resize(static_cast<size_t>(n));
    n = WideCharToMultiByte(codePage, 0, wide.data(), chars, &text[0], n, nullptr, nullptr);
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
}

// The ANSI code page of a locale.
unsigned LocaleCodePage(LCID locale) {
    DWORD codePage = 0;
    if (!GetLocaleInfoW(locale, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                        reinterpret_cast<LPWSTR>(&codePage), sizeof codePage / sizeof(WCHAR)))
        return 0;
    return codePage;
}

// A locale whose ANSI code page is the one asked for.
LCID LocaleOfCodePage(unsigned codePage) {
    switch (codePage) {
    case 936:
        return MAKELCID(MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), SORT_DEFAULT);
    case 950:
        return MAKELCID(MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL), SORT_DEFAULT);
    case 932:
        return MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), SORT_DEFAULT);
    case 949:
        return MAKELCID(MAKELANGID(LANG_KOREAN, SUBLANG_DEFAULT), SORT_DEFAULT);
    case 1252:
        return MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);
    default:
        return 0;
    }
}

} // namespace

extern "C" {

// The thread's code page is its locale's: a host chooses it with
// SetThreadLocale, which these two wrap for the code pages a locale has.
unsigned KoGetThreadCodePage() {
    unsigned codePage = LocaleCodePage(GetThreadLocale());
    return codePage ? codePage : GetACP();
}

unsigned KoSetThreadCodePage(unsigned codePage) {
    LCID locale = LocaleOfCodePage(codePage);
    if (!locale) return 0;
    unsigned previous = KoGetThreadCodePage();
    if (!SetThreadLocale(locale)) return 0;
    return previous;
}

// The message box is the system's on Windows: a host's handler has nothing to
// take over there.
void KoSetMessageBoxHandler(KoMessageBoxHandler, void*) {}

// A thread that has not initialised COM joins the multithreaded apartment
// first, and stays in it.
HRESULT KoCoCreateInstance(REFCLSID clsid, IUnknown* outer, REFIID iid, void** out) {
    HRESULT hr = CoCreateInstance(clsid, outer, CLSCTX_INPROC_SERVER, iid, out);
    if (hr != CO_E_NOTINITIALIZED || FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return hr;
    return CoCreateInstance(clsid, outer, CLSCTX_INPROC_SERVER, iid, out);
}

size_t KoWholeCharPrefix(UINT codePage, const char* text, size_t bytes, size_t maxBytes) {
    if (!text && bytes > 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (bytes <= maxBytes) return bytes;
    if (codePage == CP_ACP || codePage == CP_THREAD_ACP) codePage = KoGetThreadCodePage();
    CPINFO info;
    if (codePage != CP_UTF8 && !GetCPInfo(codePage, &info)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
    size_t i = 0;
    while (i < bytes) {
        size_t length = 1;
        if (codePage == CP_UTF8) {
            unsigned char c = s[i];
            size_t extra = c >= 0xF0 && c < 0xF5   ? 3
                           : c >= 0xE0 && c < 0xF0 ? 2
                           : c >= 0xC2 && c < 0xE0 ? 1
                                                   : 0;
            size_t k = 1;
            while (k <= extra && i + k < bytes && (s[i + k] & 0xC0) == 0x80) ++k;
            if (k == extra + 1) length = k;
        } else if (info.MaxCharSize == 2 && i + 1 < bytes && IsDBCSLeadByteEx(codePage, s[i]) &&
                   s[i + 1] >= 0x40) {
            length = 2;
        }
        if (length > maxBytes - i) break;
        i += length;
    }
    return i;
}

HMODULE KoGetModuleHandleFromAddress(const void* address) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            static_cast<LPCWSTR>(address), &module))
        return nullptr;
    return module;
}

FILE* KoOpenFileA(LPCSTR path, LPCSTR mode) {
    if (!path || !mode) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::wstring widePath = Widen(CP_THREAD_ACP, path, strlen(path));
    std::wstring wideMode = Widen(CP_ACP, mode, strlen(mode));
    if (widePath.empty()) {
        SetLastError(ERROR_INVALID_NAME);
        return nullptr;
    }
    DWORD attributes = GetFileAttributesW(widePath.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    // Not inherited by child processes ("N").
    FILE* file = _wfopen(widePath.c_str(), (wideMode + L"N").c_str());
    if (!file) SetLastError(KoWin32ErrorFromErrno(errno));
    return file;
}

} // extern "C"

std::string KoAnsiToUtf8(const char* text, size_t bytes) {
    if (!text || bytes == 0) return std::string();
    if (IsAscii(text, bytes)) return std::string(text, bytes);
    return Narrow(CP_UTF8, Widen(CP_THREAD_ACP, text, bytes));
}

std::string KoAnsiToUtf8(const char* text) { return text ? KoAnsiToUtf8(text, strlen(text)) : ""; }

std::string KoUtf8ToAnsi(const char* text, size_t bytes) {
    if (!text || bytes == 0) return std::string();
    if (IsAscii(text, bytes)) return std::string(text, bytes);
    return Narrow(CP_THREAD_ACP, Widen(CP_UTF8, text, bytes));
}

std::string KoMapWindowsPath(const char* path) { return KoAnsiToUtf8(path); }

int AfxMessageBox(LPCSTR text, UINT type, UINT /*helpId*/) {
    std::wstring wide = Widen(CP_THREAD_ACP, text ? text : "", text ? strlen(text) : 0);
    return MessageBoxW(nullptr, wide.c_str(), nullptr, type);
}
