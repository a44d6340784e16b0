#include "CZuWireText.h"

#include <limits.h>
#include <stdio.h>
#include <string.h>

#include "KoCodePage.h"
#include "stdsoap2.h"

namespace {

const wchar_t REPLACEMENT = 0xFFFD;

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
// form no character become U+FFFD.
std::wstring Decode(unsigned codePage, const char* text, size_t length) {
    std::wstring wide;
    if (length == 0 || length > static_cast<size_t>(INT_MAX)) return wide;
    int n = static_cast<int>(length);
    int needed = MultiByteToWideChar(codePage, 0, text, n, nullptr, 0);
    if (needed <= 0) return std::wstring(length, REPLACEMENT);
    wide.resize(static_cast<size_t>(needed));
    int written = MultiByteToWideChar(codePage, 0, text, n, &wide[0], needed);
    wide.resize(written > 0 ? static_cast<size_t>(written) : 0);
    return wide;
}

// Appends wide[0, length) converted to the thread's code page.
void AppendEncoded(const wchar_t* wide, size_t length, std::string& out) {
    if (length == 0 || length > static_cast<size_t>(INT_MAX)) return;
    int n = static_cast<int>(length);
    int needed = WideCharToMultiByte(CP_THREAD_ACP, 0, wide, n, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) {
        out.append(length, '?');
        return;
    }
    size_t at = out.size();
    out.resize(at + static_cast<size_t>(needed));
    int written = WideCharToMultiByte(CP_THREAD_ACP, 0, wide, n, &out[at], needed, nullptr, nullptr);
    out.resize(at + (written > 0 ? static_cast<size_t>(written) : 0));
}

// XML cannot carry these characters, not even as references.
bool IsForbidden(wchar_t c) {
    return (c < 0x20 && c != '\t' && c != '\n' && c != '\r') || (c >= 0xD800 && c <= 0xDFFF) ||
           c == 0xFFFE || c == 0xFFFF || static_cast<unsigned long>(c) > 0x10FFFF;
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
    for (wchar_t c : chars) {
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
        if (soap_send_raw(soap, " ", 1) || soap_send(soap, tp->name) ||
            soap_send_raw(soap, "=\"", 2))
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
    if (IsAsciiText(text, length))
        return WriteChars(soap, std::wstring(text, text + length), attribute);
    return WriteChars(soap, Decode(CP_THREAD_ACP, text, length), attribute);
}

int CZuWireText::WriteUtf8(struct soap* soap, const char* text, bool attribute) {
    if (!NeedsOwnConversion(text, attribute)) return soap_string_out(soap, text, attribute ? 1 : 0);
    return WriteChars(soap, Decode(CP_UTF8, text, strlen(text)), attribute);
}

int CZuWireText::WriteElement(struct soap* soap, const char* tag, int id, const std::string* text,
                              int typeId, const char* type) {
    const char* chars = text->c_str();
    if (*tag == '-') return Write(soap, chars, false);
#ifndef WITH_LEANER
    if ((soap->mode & SOAP_XML_DOM) && soap->dom) {
        // The start tag goes into a DOM tree, not onto the wire.
        if (soap_element_begin_out(soap, tag, soap_embedded_id(soap, id, text, typeId), type) ||
            soap_string_out(soap, chars, 0) || soap_element_end_out(soap, tag))
            return soap->error;
        return SOAP_OK;
    }
#endif
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
        const wchar_t* wide = soap_wstring_in(soap, 1, 0, -1, nullptr);
        if (!wide) return nullptr;
        FromWide(wide, *text);
        if (soap_element_end_in(soap, tag)) return nullptr;
    }
    return text;
}

const char* CZuWireText::AttributeValue(struct soap* soap, const std::string& text) {
    if (!NeedsOwnConversion(text.c_str(), true)) return soap_strdup(soap, text.c_str());
    std::wstring wide = IsAsciiText(text.data(), text.size())
                            ? std::wstring(text.begin(), text.end())
                            : Decode(CP_THREAD_ACP, text.data(), text.size());
    for (wchar_t& c : wide)
        if (IsForbidden(c)) c = REPLACEMENT;
    std::string utf8;
    if (!wide.empty() && wide.size() <= static_cast<size_t>(INT_MAX)) {
        int n = static_cast<int>(wide.size());
        int needed = WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
        if (needed > 0) {
            utf8.resize(static_cast<size_t>(needed));
            int written = WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, &utf8[0], needed, nullptr,
                                              nullptr);
            utf8.resize(written > 0 ? static_cast<size_t>(written) : 0);
        }
    }
    return soap_strdup(soap, utf8.c_str());
}

void CZuWireText::FromWide(const wchar_t* text, std::string& out) {
    out.clear();
    const wchar_t* p = text;
    while (*p) {
        if (static_cast<unsigned long>(*p) < 256) {
            out.push_back(static_cast<char>(static_cast<unsigned char>(*p)));
            ++p;
            continue;
        }
        const wchar_t* run = p;
        while (*p && static_cast<unsigned long>(*p) >= 256) ++p;
        AppendEncoded(run, static_cast<size_t>(p - run), out);
    }
}

void CZuWireText::AttributeName(const char* raw, std::string& out) {
    out.clear();
    if (!raw) return;
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(raw);
    if (bytes[0] < 0x80 || bytes[1] < 0x80) {
        out.assign(raw);
        return;
    }
    std::wstring wide = Decode(CP_UTF8, raw, strlen(raw));
    std::wstring kept;
    for (wchar_t c : wide) {
        if (static_cast<unsigned long>(c) > 0xFFFF) continue;
        if (kept.size() == MAX_NAME_CHARS) break;
        kept.push_back(c);
    }
    AppendEncoded(kept.data(), kept.size(), out);
}
