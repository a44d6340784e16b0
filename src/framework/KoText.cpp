#include "KoText.h"

#include <string.h>
#include <wchar.h>

#include <vector>

#include "KoCodePage.h"

std::string KoNarrow(const wchar_t* text) {
    if (!text || !*text) return std::string();
    int needed = WideCharToMultiByte(CP_THREAD_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (needed <= 1) return std::string();
    std::string out(static_cast<size_t>(needed), '\0');
    int written = WideCharToMultiByte(CP_THREAD_ACP, 0, text, -1, &out[0], needed, nullptr, nullptr);
    if (written <= 0) return std::string();
    out.resize(strlen(out.c_str()));
    return out;
}

std::string KoNarrow(const wchar_t* text, size_t bufferBytes) {
    if (bufferBytes == 0 || !text) return std::string();
    // Converting into all but the last byte of a zeroed buffer leaves the
    // longest prefix of whole characters that fits, terminated: a conversion
    // that runs out of room stops before the character that does not fit.
    char local[512];
    std::vector<char> heap;
    char* buffer = local;
    if (bufferBytes > sizeof local) {
        heap.resize(bufferBytes);
        buffer = heap.data();
    }
    memset(buffer, 0, bufferBytes);
    if (bufferBytes > 1)
        WideCharToMultiByte(CP_THREAD_ACP, 0, text, -1, buffer, static_cast<int>(bufferBytes - 1), nullptr,
                            nullptr);
    return std::string(buffer);
}

size_t KoWiden(const char* text, wchar_t* buffer, size_t bufferChars) {
    if (!buffer || bufferChars == 0) return 0;
    if (!text) {
        buffer[0] = L'\0';
        return 0;
    }
    int written = MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, buffer, static_cast<int>(bufferChars));
    if (written > 0) return wcslen(buffer);
    // Did not fit: the buffer holds the whole characters that did; cut there.
    if (GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        buffer[bufferChars - 1] = L'\0';
        return wcslen(buffer);
    }
    buffer[0] = L'\0';
    return 0;
}

std::wstring KoWiden(const char* text) {
    if (!text || !*text) return std::wstring();
    int needed = MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, nullptr, 0);
    if (needed <= 1) return std::wstring();
    std::wstring out(static_cast<size_t>(needed), L'\0');
    MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, &out[0], needed);
    out.resize(wcslen(out.c_str()));
    return out;
}

void KoCopyWide(wchar_t* field, size_t fieldChars, const wchar_t* text) {
    if (!field || fieldChars == 0) return;
    size_t n = text ? wcsnlen(text, fieldChars - 1) : 0;
    if (n) wmemmove(field, text, n);
    field[n] = L'\0';
}
