#include "KoText.h"

#include <string.h>
#include <wchar.h>

#include <vector>

#include "KoCodePage.h"

namespace {

unsigned EffectiveCodePage(unsigned codePage) {
    return codePage == 0 || codePage == CP_THREAD_ACP ? KoGetThreadCodePage() : codePage;
}

// Bytes of the UTF-8 character that starts with this byte (1 for a stray
// continuation byte, so that walking always moves on).
size_t Utf8Length(unsigned char c) {
    if (c < 0xC0) return 1;
    if (c < 0xE0) return 2;
    if (c < 0xF0) return 3;
    return 4;
}

} // namespace

size_t KoWholeCharPrefix(const char* text, size_t length, size_t limit, unsigned codePage) {
    if (length <= limit) return length;
    codePage = EffectiveCodePage(codePage);
    size_t pos = 0;
    while (pos < length) {
        unsigned char c = static_cast<unsigned char>(text[pos]);
        size_t step = 1;
        if (codePage == CP_UTF8)
            step = Utf8Length(c);
        else if (c >= 0x80 && IsDBCSLeadByteEx(codePage, c))
            step = 2;
        if (pos + step > limit) break;
        pos += step;
    }
    return pos;
}

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
    // Most texts fit: one conversion into a buffer of the given size.
    char local[512];
    if (bufferBytes <= sizeof(local)) {
        int written = WideCharToMultiByte(CP_THREAD_ACP, 0, text, -1, local,
                                          static_cast<int>(bufferBytes), nullptr, nullptr);
        if (written > 0) return std::string(local);
    }
    std::string whole = KoNarrow(text);
    whole.resize(KoWholeCharPrefix(whole.data(), whole.size(), bufferBytes - 1));
    return whole;
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
