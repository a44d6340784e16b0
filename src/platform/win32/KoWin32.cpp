// The Ko extensions on Windows: small helpers over the Win32 API.
#include "KoWindows.h"

#include <errno.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

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

// The host's message box handler. Each module of the process (the component,
// the host) links its own copy of these functions, so the handler is kept
// where all of them find it and no other process can reach it: in a variable
// of the process's environment, as text. Child processes inherit the
// environment, so the text starts with what tells this process apart from
// every other (its identifier and creation time); elsewhere it is ignored.
const wchar_t kMessageBoxHandlerVariable[] = L"KO_MESSAGE_BOX_HANDLER";

std::wstring ProcessStamp() {
    FILETIME created{}, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    uint64_t time = (static_cast<uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    return std::to_wstring(GetCurrentProcessId()) + L"." + std::to_wstring(time) + L" ";
}

// The handler and its context; false when none is installed in this process.
bool CurrentMessageBoxHandler(KoMessageBoxHandler& handler, void*& context) {
    wchar_t value[128];
    DWORD length = GetEnvironmentVariableW(kMessageBoxHandlerVariable, value, 128);
    if (length == 0 || length >= 128) return false;
    std::wstring stamp = ProcessStamp();
    if (wcsncmp(value, stamp.c_str(), stamp.size()) != 0) return false;
    wchar_t* end = nullptr;
    uint64_t function = wcstoull(value + stamp.size(), &end, 10);
    if (*end != L' ') return false;
    uint64_t data = wcstoull(end + 1, &end, 10);
    if (*end || !function) return false;
    handler = reinterpret_cast<KoMessageBoxHandler>(static_cast<uintptr_t>(function));
    context = reinterpret_cast<void*>(static_cast<uintptr_t>(data));
    return true;
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

// One variable, set and read whole (the system serialises that), so a handler
// and its context always go together.
void KoSetMessageBoxHandler(KoMessageBoxHandler handler, void* context) {
    if (!handler) {
        SetEnvironmentVariableW(kMessageBoxHandlerVariable, nullptr);
        return;
    }
    std::wstring value = ProcessStamp() + std::to_wstring(reinterpret_cast<uintptr_t>(handler)) + L" " +
                         std::to_wstring(reinterpret_cast<uintptr_t>(context));
    SetEnvironmentVariableW(kMessageBoxHandlerVariable, value.c_str());
}

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
    if (!text) text = "";
    KoMessageBoxHandler handler = nullptr;
    void* context = nullptr;
    if (CurrentMessageBoxHandler(handler, context)) {
        std::string utf8 = KoAnsiToUtf8(text);
        return handler(text, utf8.c_str(), type, context);
    }
    std::wstring wide = Widen(CP_THREAD_ACP, text, strlen(text));
    return MessageBoxW(nullptr, wide.c_str(), nullptr, type);
}
