#include "Text.h"

#include <stdio.h>
#include <stdlib.h>
#include <limits.h>
#include <wchar.h>

#include <vector>

// Conversions go through the C library in a UTF-8 locale, which main sets up.
std::wstring Wide(const std::string& utf8) {
    std::wstring out;
    mbstate_t state{};
    const char* p = utf8.c_str();
    const char* end = p + utf8.size();
    while (p < end) {
        wchar_t c;
        size_t n = mbrtowc(&c, p, static_cast<size_t>(end - p), &state);
        if (n == 0) break;
        if (n == static_cast<size_t>(-1) || n == static_cast<size_t>(-2)) {
            out.push_back(L'\xFFFD');
            state = mbstate_t{};
            ++p;
            continue;
        }
        out.push_back(c);
        p += n;
    }
    return out;
}

std::string Utf8(const wchar_t* wide) {
    std::string out;
    if (!wide) return out;
    mbstate_t state{};
    char buffer[MB_LEN_MAX];
    for (const wchar_t* p = wide; *p; ++p) {
        size_t n = wcrtomb(buffer, *p, &state);
        if (n == static_cast<size_t>(-1)) {
            out += "\xEF\xBF\xBD";
            state = mbstate_t{};
            continue;
        }
        out.append(buffer, n);
    }
    return out;
}

size_t DisplayWidth(const std::string& utf8) {
    size_t width = 0;
    for (wchar_t c : Wide(utf8)) {
        int w = wcwidth(c);
        width += w > 0 ? static_cast<size_t>(w) : 0;
    }
    return width;
}

std::string HexCode(long code) {
    char text[24];
    snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(code) & 0xFFFFFFFFul);
    return text;
}
