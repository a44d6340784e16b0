#include "KoCodePage.h"

#include <limits.h>
#include <string.h>

#include "KoTextCodec.h"

namespace {

int fail(DWORD error) {
    SetLastError(error);
    return 0;
}

bool isAscii(const char* text, size_t bytes) {
    for (size_t i = 0; i < bytes; ++i)
        if (static_cast<unsigned char>(text[i]) >= 0x80) return false;
    return true;
}

} // namespace

extern "C" {

unsigned KoSetThreadCodePage(unsigned codePage) {
    if (!KoTextCodec::isKnown(codePage)) return 0;
    unsigned previous = KoTextCodec::threadCodePage();
    KoTextCodec::setThreadCodePage(codePage);
    return previous;
}

unsigned KoGetThreadCodePage() { return KoTextCodec::threadCodePage(); }

int MultiByteToWideChar(UINT codePage, DWORD /*flags*/, LPCSTR src, int srcBytes, LPWSTR dst, int dstChars) {
    const KoTextCodec* codec = KoTextCodec::find(codePage);
    if (!codec || !src || srcBytes == 0 || srcBytes < -1 || dstChars < 0 || (dstChars > 0 && !dst))
        return fail(ERROR_INVALID_PARAMETER);
    size_t n = srcBytes == -1 ? strlen(src) + 1 : static_cast<size_t>(srcBytes);
    bool complete = true;
    size_t chars =
        codec->decode(src, n, dstChars > 0 ? dst : nullptr, static_cast<size_t>(dstChars), &complete);
    if (!complete) return fail(ERROR_INSUFFICIENT_BUFFER);
    if (chars > INT_MAX) return fail(ERROR_INVALID_PARAMETER);
    return static_cast<int>(chars);
}

int WideCharToMultiByte(UINT codePage, DWORD /*flags*/, LPCWSTR src, int srcChars, LPSTR dst, int dstBytes,
                        LPCSTR defaultChar, LPBOOL usedDefaultChar) {
    const KoTextCodec* codec = KoTextCodec::find(codePage);
    if (!codec || !src || srcChars == 0 || srcChars < -1 || dstBytes < 0 || (dstBytes > 0 && !dst))
        return fail(ERROR_INVALID_PARAMETER);
    if (codec->id() == CP_UTF8 && (defaultChar || usedDefaultChar)) return fail(ERROR_INVALID_PARAMETER);
    size_t n = srcChars == -1 ? wcslen(src) + 1 : static_cast<size_t>(srcChars);
    bool complete = true;
    bool usedDefault = false;
    size_t bytes = codec->encode(src, n, dstBytes > 0 ? dst : nullptr, static_cast<size_t>(dstBytes),
                                 defaultChar ? defaultChar[0] : '?', &usedDefault, &complete);
    if (usedDefaultChar) *usedDefaultChar = usedDefault ? TRUE : FALSE;
    if (!complete) return fail(ERROR_INSUFFICIENT_BUFFER);
    if (bytes > INT_MAX) return fail(ERROR_INVALID_PARAMETER);
    return static_cast<int>(bytes);
}

BOOL IsDBCSLeadByteEx(UINT codePage, BYTE byte) {
    const KoTextCodec* codec = KoTextCodec::find(codePage);
    if (!codec) return fail(ERROR_INVALID_PARAMETER);
    return codec->isLeadByte(byte) ? TRUE : FALSE;
}

size_t KoWholeCharPrefix(UINT codePage, const char* text, size_t bytes, size_t maxBytes) {
    const KoTextCodec* codec = KoTextCodec::find(codePage);
    if (!codec || (!text && bytes > 0)) return fail(ERROR_INVALID_PARAMETER);
    if (bytes <= maxBytes) return bytes;
    const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
    size_t i = 0;
    while (i < bytes) {
        size_t len = codec->charLength(s + i, bytes - i);
        if (len > maxBytes - i) break;
        i += len;
    }
    return i;
}

} // extern "C"

std::string KoAnsiToUtf8(const char* text, size_t bytes) {
    if (!text || bytes == 0) return std::string();
    if (isAscii(text, bytes)) return std::string(text, bytes);
    std::wstring wide = KoTextCodec::find(CP_THREAD_ACP)->decode(text, bytes);
    return KoTextCodec::find(CP_UTF8)->encode(wide.data(), wide.size());
}

std::string KoAnsiToUtf8(const char* text) { return text ? KoAnsiToUtf8(text, strlen(text)) : ""; }

std::string KoUtf8ToAnsi(const char* text, size_t bytes) {
    if (!text || bytes == 0) return std::string();
    if (isAscii(text, bytes)) return std::string(text, bytes);
    std::wstring wide = KoTextCodec::find(CP_UTF8)->decode(text, bytes);
    return KoTextCodec::find(CP_THREAD_ACP)->encode(wide.data(), wide.size());
}
