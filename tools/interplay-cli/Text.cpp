#include "Text.h"

#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>

#include "KoCodePage.h"

// Conversions go through the platform's UTF-8 code page: a byte that forms
// no character becomes U+FFFD.
std::wstring Wide(const std::string& utf8) {
    std::wstring out;
    if (utf8.empty() || utf8.size() > static_cast<size_t>(INT_MAX)) return out;
    int bytes = static_cast<int>(utf8.size());
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), bytes, nullptr, 0);
    if (n <= 0) return out;
    out.resize(static_cast<size_t>(n));
    n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), bytes, &out[0], n);
    out.resize(n > 0 ? static_cast<size_t>(n) : 0);
    // Stops at an embedded NUL, as the component's text does.
    out.resize(wcslen(out.c_str()));
    return out;
}

std::string Utf8(const wchar_t* wide) {
    std::string out;
    if (!wide || !*wide) return out;
    int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return out;
    out.resize(static_cast<size_t>(n));
    n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, &out[0], n, nullptr, nullptr);
    out.resize(n > 1 ? static_cast<size_t>(n - 1) : 0);
    return out;
}

namespace {

// Columns a character takes: two for the wide East Asian ranges, none for
// combining marks and controls, one otherwise.
size_t CharWidth(unsigned long c) {
    if (c < 0x20 || (c >= 0x7F && c < 0xA0) || (c >= 0x300 && c <= 0x36F) || c == 0x200B) return 0;
    if ((c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0xA4CF) ||
        (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
        (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) ||
        (c >= 0x20000 && c <= 0x3FFFD))
        return 2;
    return 1;
}

} // namespace

size_t DisplayWidth(const std::string& utf8) {
    size_t width = 0;
    std::wstring wide = Wide(utf8);
    for (size_t i = 0; i < wide.size(); ++i) {
        unsigned long c = static_cast<unsigned long>(wide[i]);
        // A surrogate pair (where wide text is UTF-16) is one character.
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size()) {
            unsigned long low = static_cast<unsigned long>(wide[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        width += CharWidth(c);
    }
    return width;
}

std::string HexCode(long code) {
    char text[24];
    snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(code) & 0xFFFFFFFFul);
    return text;
}

std::string MaskedUrl(const std::string& url) {
    size_t scheme = url.find("://");
    size_t start = scheme == std::string::npos ? 0 : scheme + 3;
    size_t end = url.find_first_of("/?#", start);
    if (end == std::string::npos) end = url.size();
    size_t at = url.rfind('@', end);
    if (at == std::string::npos || at < start) return url;
    size_t colon = url.find(':', start);
    if (colon == std::string::npos || colon > at) return url;
    return url.substr(0, colon + 1) + "***" + url.substr(at);
}
