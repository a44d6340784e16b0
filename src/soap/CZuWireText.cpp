#include "CZuWireText.h"

#include <limits.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <memory>

#include "KoCodePage.h"
#include "KoPlatform.h"
#include "stdsoap2.h"

namespace {

const char32_t REPLACEMENT = 0xFFFD;

// Wide text is UTF-32 on some platforms and UTF-16 on others: characters
// beyond the Basic Multilingual Plane take two wide characters (a surrogate
// pair) there.
const bool WIDE_IS_UTF16 = sizeof(wchar_t) == 2;

bool IsHighSurrogate(unsigned long c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(unsigned long c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Appends a character to wide text.
void AppendWide(std::wstring& wide, char32_t c) {
    if (WIDE_IS_UTF16 && c > 0xFFFF) {
        wide.push_back(static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10)));
        wide.push_back(static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        return;
    }
    wide.push_back(static_cast<wchar_t>(c));
}

// The character at wide[i], a surrogate pair taken together; advances i past it.
char32_t NextChar(const std::wstring& wide, size_t& i) {
    unsigned long c = static_cast<unsigned long>(wide[i++]);
    if (WIDE_IS_UTF16 && IsHighSurrogate(c) && i < wide.size() &&
        IsLowSurrogate(static_cast<unsigned long>(wide[i])))
        return static_cast<char32_t>(0x10000 + ((c - 0xD800) << 10) +
                                     (static_cast<unsigned long>(wide[i++]) - 0xDC00));
    return static_cast<char32_t>(c);
}

bool IsAsciiText(const char* text, size_t length) {
    for (size_t i = 0; i < length; ++i)
        if (static_cast<unsigned char>(text[i]) >= 0x80) return false;
    return true;
}

// Whether the runtime's escaping alone writes this ASCII character as the
// module wants it: every printable character, tab and carriage return, and line
// feed in attribute values.
bool RuntimeEscapes(unsigned char c, bool attribute) {
    return c >= 0x20 || c == '\t' || c == '\r' || (attribute && c == '\n');
}

bool NeedsOwnConversion(const char* text, bool attribute) {
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p)
        if (*p >= 0x80 || !RuntimeEscapes(*p, attribute)) return true;
    return false;
}

// Decodes text[0, length) from the code page into wide characters; bytes that
// form no character become U+FFFD (so there are never more characters than
// bytes).
std::wstring Decode(unsigned codePage, const char* text, size_t length) {
    std::wstring wide;
    if (length == 0 || length > static_cast<size_t>(INT_MAX)) return wide;
    wide.resize(length);
    int n = static_cast<int>(length);
    int written = MultiByteToWideChar(codePage, 0, text, n, &wide[0], n);
    wide.resize(written > 0 ? static_cast<size_t>(written) : 0);
    return wide;
}

// Decodes UTF-8 (as the runtime hands text over in the context's string mode)
// character by character, calling sink(c) for each. A byte that does not start
// a well-formed sequence (overlong, surrogate, beyond U+10FFFF, cut short)
// gives U+FFFD and decoding goes on at the next byte, as the code page
// conversions do. Done here rather than through the code page conversion: it
// is on the path of every string read and needs no tables.
template <class Sink>
void DecodeUtf8(const char* text, size_t length, Sink sink) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* end = p + length;
    while (p < end) {
        unsigned long c = *p;
        if (c < 0x80) {
            sink(static_cast<char32_t>(c));
            ++p;
            continue;
        }
        size_t extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        unsigned long minimum = extra == 3 ? 0x10000 : extra == 2 ? 0x800 : 0x80;
        bool ok = extra > 0 && c < 0xF8 && static_cast<size_t>(end - p) > extra;
        if (ok) {
            c &= 0x3F >> extra;
            for (size_t i = 1; i <= extra && ok; ++i) {
                ok = (p[i] & 0xC0) == 0x80;
                c = (c << 6) | (p[i] & 0x3F);
            }
            ok = ok && c >= minimum && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
        }
        if (!ok) {
            sink(REPLACEMENT);
            ++p;
            continue;
        }
        sink(static_cast<char32_t>(c));
        p += extra + 1;
    }
}

std::wstring DecodeUtf8(const char* text, size_t length) {
    std::wstring wide;
    wide.reserve(length);
    DecodeUtf8(text, length, [&](char32_t c) { AppendWide(wide, c); });
    return wide;
}

// Appends wide[0, length) converted to the code page (CP_UTF8 or
// CP_THREAD_ACP).
void AppendEncoded(unsigned codePage, const wchar_t* wide, size_t length, std::string& out) {
    size_t most = codePage == CP_UTF8 || KoGetThreadCodePage() == CP_UTF8 ? 4 : 2;
    if (length == 0 || length > static_cast<size_t>(INT_MAX) / most) return;
    size_t at = out.size();
    int room = static_cast<int>(most * length);
    out.resize(at + static_cast<size_t>(room));
    int written =
        WideCharToMultiByte(codePage, 0, wide, static_cast<int>(length), &out[at], room, nullptr, nullptr);
    out.resize(at + (written > 0 ? static_cast<size_t>(written) : 0));
}

// The calling thread's code page form of the characters of the Basic
// Multilingual Plane met so far. Converting incoming text through the code
// page conversion costs a call for every run of characters; the cache saves
// most of those calls, as message texts repeat their characters. It keeps
// 256 characters to a page and makes the pages that are used (1 KiB each); it
// starts again when the thread's code page changes.
class ThreadEncodeCache {
public:
    // The calling thread's cache, emptied if the thread's code page changed.
    static ThreadEncodeCache& Current() {
        static thread_local ThreadEncodeCache cache;
        unsigned codePage = KoGetThreadCodePage();
        if (codePage != cache.m_codePage) {
            for (std::unique_ptr<uint32_t[]>& page : cache.m_pages) page.reset();
            cache.m_codePage = codePage;
        }
        return cache;
    }

    // The code page form of a character of the Basic Multilingual Plane: its
    // length in the low byte, then up to three bytes.
    uint32_t Form(char32_t c) {
        unsigned long code = static_cast<unsigned long>(c);
        std::unique_ptr<uint32_t[]>& page = m_pages[code >> 8];
        if (!page) page = std::make_unique<uint32_t[]>(256);
        uint32_t& form = page[code & 0xFF];
        if (!form) form = Lookup(c);
        return form;
    }

    // Appends a character beyond the Basic Multilingual Plane in the code page
    // ('?' when the code page lacks it).
    static void AppendBeyondPlane(char32_t c, std::string& out) {
        std::wstring wide;
        AppendWide(wide, c);
        AppendEncoded(CP_THREAD_ACP, wide.data(), wide.size(), out);
    }

private:
    // The length in the low byte, then up to three bytes.
    static uint32_t Lookup(char32_t c) {
        char bytes[8];
        wchar_t wide = static_cast<wchar_t>(c);
        int n = WideCharToMultiByte(CP_THREAD_ACP, 0, &wide, 1, bytes, sizeof bytes, nullptr, nullptr);
        if (n <= 0 || n > 3) return 1 | (uint32_t('?') << 8);
        uint32_t form = static_cast<uint32_t>(n);
        for (int k = 0; k < n; ++k) form |= uint32_t(static_cast<unsigned char>(bytes[k])) << (8 * (k + 1));
        return form;
    }

    std::unique_ptr<uint32_t[]> m_pages[256];
    unsigned m_codePage = 0;
};

// Appends text[0, length), UTF-8 as the runtime hands it over, in the thread's
// code page: ASCII as it is, every other character through the code page
// ('?' when the code page lacks it; so for bytes that are not UTF-8). At most
// maxChars characters are kept.
void AppendIncoming(const char* text, size_t length, size_t maxChars, std::string& out) {
    ThreadEncodeCache& cache = ThreadEncodeCache::Current();
    size_t kept = 0;
    // The bytes gather here and go to out a buffer at a time.
    char bytes[256];
    size_t used = 0;
    auto flush = [&] {
        out.append(bytes, used);
        used = 0;
    };
    DecodeUtf8(text, length, [&](char32_t c) {
        if (kept == maxChars) return;
        ++kept;
        if (used > sizeof bytes - 4) flush();
        if (c < 0x80) {
            bytes[used++] = static_cast<char>(c);
        } else if (static_cast<unsigned long>(c) > 0xFFFF) {
            flush();
            ThreadEncodeCache::AppendBeyondPlane(c, out);
        } else {
            uint32_t form = cache.Form(c);
            for (uint32_t n = form & 0xFF, k = 1; k <= n; ++k)
                bytes[used++] = static_cast<char>((form >> (8 * k)) & 0xFF);
        }
    });
    flush();
}

// XML cannot carry these characters, not even as references.
bool IsForbidden(char32_t c) {
    return (c < 0x20 && c != '\t' && c != '\n' && c != '\r') || (c >= 0xD800 && c <= 0xDFFF) || c == 0xFFFE ||
           c == 0xFFFF || static_cast<unsigned long>(c) > 0x10FFFF;
}

// Writes wide characters as XML character data: runs of ASCII through the
// runtime's escaping, the rest as decimal character references.
int WriteChars(struct soap* soap, const std::wstring& chars, bool attribute) {
    char run[256];
    size_t used = 0;
    auto flush = [&]() -> int {
        if (used == 0) return SOAP_OK;
        run[used] = '\0';
        used = 0;
        return soap_string_out(soap, run, attribute ? 1 : 0);
    };
    for (size_t i = 0; i < chars.size();) {
        char32_t c = NextChar(chars, i);
        if (c < 0x80 && !IsForbidden(c) && RuntimeEscapes(static_cast<unsigned char>(c), attribute)) {
            run[used++] = static_cast<char>(c);
            if (used == sizeof run - 1 && flush()) return soap->error;
            continue;
        }
        if (flush()) return soap->error;
        char reference[24];
        if (c == '\n')
            snprintf(reference, sizeof reference, "&#xA;");
        else
            snprintf(reference, sizeof reference, "&#%lu;",
                     static_cast<unsigned long>(IsForbidden(c) ? REPLACEMENT : c));
        if (soap_send(soap, reference)) return soap->error;
    }
    return flush();
}

// Writes the attributes waiting in the context's list, in their order, and
// takes them off the list.
int WriteWaitingAttributes(struct soap* soap) {
    for (struct soap_attribute* tp = soap->attributes; tp; tp = tp->next) {
        if (!tp->visible) continue;
        if (soap_send_raw(soap, " ", 1) || soap_send(soap, tp->name) || soap_send_raw(soap, "=\"", 2))
            return soap->error;
        if (tp->visible == 2 && tp->value && CZuWireText::WriteUtf8(soap, tp->value, true))
            return soap->error;
        if (soap_send_raw(soap, "\"", 1)) return soap->error;
        tp->visible = 0;
    }
    return SOAP_OK;
}

} // namespace

int CZuWireText::Write(struct soap* soap, const char* text, bool attribute) {
    if (!NeedsOwnConversion(text, attribute)) return soap_string_out(soap, text, attribute ? 1 : 0);
    size_t length = strlen(text);
    if (IsAsciiText(text, length)) return WriteChars(soap, std::wstring(text, text + length), attribute);
    return WriteChars(soap, Decode(CP_THREAD_ACP, text, length), attribute);
}

int CZuWireText::WriteUtf8(struct soap* soap, const char* text, bool attribute) {
    if (!NeedsOwnConversion(text, attribute)) return soap_string_out(soap, text, attribute ? 1 : 0);
    return WriteChars(soap, DecodeUtf8(text, strlen(text)), attribute);
}

int CZuWireText::WriteElement(struct soap* soap, const char* tag, int id, const std::string* text, int typeId,
                              const char* type) {
    const char* chars = text->c_str();
    if (*tag == '-') return Write(soap, chars, false);
    if ((soap->mode & SOAP_XML_DOM) && soap->dom) {
        // The start tag goes into a DOM tree, not onto the wire.
        if (soap_element_begin_out(soap, tag, soap_embedded_id(soap, id, text, typeId), type) ||
            soap_string_out(soap, chars, 0) || soap_element_end_out(soap, tag))
            return soap->error;
        return SOAP_OK;
    }
    if (soap_element(soap, tag, soap_embedded_id(soap, id, text, typeId), type) ||
        WriteWaitingAttributes(soap))
        return soap->error;
    if (text->empty()) return soap_element_start_end_out(soap, tag);
    if (soap_element_start_end_out(soap, nullptr) || Write(soap, chars, false) ||
        soap_element_end_out(soap, tag))
        return soap->error;
    return SOAP_OK;
}

std::string* CZuWireText::ReadElement(struct soap* soap, const char* tag, std::string* text,
                                      std::string* (*newString)(struct soap*)) {
    if (soap_element_begin_in(soap, tag, 1, nullptr)) return nullptr;
    if (!text) {
        text = newString(soap);
        if (!text) {
            soap->error = SOAP_EOM;
            return nullptr;
        }
    }
    text->clear();
    if (soap->body) {
        // The runtime decodes the text into UTF-8 (the context's string mode).
        const char* utf8 = soap_string_in(soap, 1, 0, -1, nullptr);
        if (!utf8) return nullptr;
        FromUtf8(utf8, *text);
        if (soap_element_end_in(soap, tag)) return nullptr;
    }
    return text;
}

const char* CZuWireText::AttributeValue(struct soap* soap, const std::string& text) {
    if (!NeedsOwnConversion(text.c_str(), true)) return soap_strdup(soap, text.c_str());
    std::wstring wide = IsAsciiText(text.data(), text.size())
                            ? std::wstring(text.begin(), text.end())
                            : Decode(CP_THREAD_ACP, text.data(), text.size());
    std::wstring allowed;
    allowed.reserve(wide.size());
    for (size_t i = 0; i < wide.size();) {
        char32_t c = NextChar(wide, i);
        AppendWide(allowed, IsForbidden(c) ? REPLACEMENT : c);
    }
    wide.swap(allowed);
    std::string utf8;
    AppendEncoded(CP_UTF8, wide.data(), wide.size(), utf8);
    return soap_strdup(soap, utf8.c_str());
}

void CZuWireText::FromUtf8(const char* text, std::string& out) {
    out.clear();
    if (!text) return;
    size_t length = strlen(text);
    if (IsAsciiText(text, length)) {
        out.assign(text, length);
        return;
    }
    out.reserve(length);
    AppendIncoming(text, length, static_cast<size_t>(-1), out);
}

void CZuWireText::AttributeName(const char* text, std::string& out) {
    out.clear();
    if (!text) return;
    size_t length = strlen(text);
    if (IsAsciiText(text, length)) {
        out.assign(text, length < size_t(MAX_NAME_CHARS) ? length : size_t(MAX_NAME_CHARS));
        return;
    }
    out.reserve(length);
    AppendIncoming(text, length, MAX_NAME_CHARS, out);
}
