#include "KoText.h"

#include <string.h>
#include <wchar.h>

#include <algorithm>
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
    char local[512];
    std::vector<char> heap;
    char* buffer = local;
    if (bufferBytes > sizeof local) {
        heap.resize(bufferBytes);
        buffer = heap.data();
    }
    memset(buffer, 0, bufferBytes);
    if (bufferBytes == 1) return std::string();
    int written = WideCharToMultiByte(CP_THREAD_ACP, 0, text, -1, buffer, static_cast<int>(bufferBytes - 1),
                                      nullptr, nullptr);
    if (written > 0 || GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::string(buffer);
    // Did not fit. What a conversion leaves in a buffer that runs out is not
    // the same everywhere, so the whole text is converted and cut at the last
    // whole character that fits with the terminator.
    std::string whole = KoNarrow(text);
    whole.resize(KoWholeCharPrefix(CP_THREAD_ACP, whole.data(), whole.size(), bufferBytes - 1));
    return whole;
}

namespace {

// The length of text[0, n) cut so that it does not end inside a surrogate
// pair (where wide characters are UTF-16 code units).
size_t WholeWideChars(const wchar_t* text, size_t n, size_t length) {
    if (n > 0 && n < length) {
        unsigned long last = static_cast<unsigned long>(text[n - 1]);
        unsigned long next = static_cast<unsigned long>(text[n]);
        if (last >= 0xD800 && last <= 0xDBFF && next >= 0xDC00 && next <= 0xDFFF) --n;
    }
    return n;
}

} // namespace

size_t KoWiden(const char* text, wchar_t* buffer, size_t bufferChars) {
    if (!buffer || bufferChars == 0) return 0;
    if (!text) {
        buffer[0] = L'\0';
        return 0;
    }
    int written = MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, buffer, static_cast<int>(bufferChars));
    if (written > 0) return wcslen(buffer);
    // Did not fit: widen the whole text and keep what fits, never half of a
    // surrogate pair.
    if (GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        std::wstring whole = KoWiden(text);
        size_t n = WholeWideChars(whole.data(), std::min(whole.size(), bufferChars - 1), whole.size());
        wmemcpy(buffer, whole.data(), n);
        buffer[n] = L'\0';
        return n;
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
    size_t n = text ? wcsnlen(text, fieldChars) : 0;
    n = WholeWideChars(text, std::min(n, fieldChars - 1), n);
    if (n) wmemmove(field, text, n);
    field[n] = L'\0';
}
