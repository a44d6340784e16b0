// One code page and its conversions to and from wide text (libKoPlatform
// internal).
//
// ASCII is converted directly (every known code page is ASCII-compatible);
// runs of other characters go through iconv converters that each thread opens
// once per code page and direction and closes when it ends.
#ifndef KO_TEXT_CODEC_H
#define KO_TEXT_CODEC_H

#include <stddef.h>

#include <string>

#include "KoWinTypes.h"

class KoTextCodec {
public:
    // The codec of a code page; CP_ACP and CP_THREAD_ACP give the calling
    // thread's. Null when the code page is unknown.
    static const KoTextCodec* find(UINT codePage);
    // Whether the code page is known (CP_ACP and CP_THREAD_ACP are not).
    static bool isKnown(UINT codePage);

    // The calling thread's code page (starts at 936).
    static UINT threadCodePage();
    static void setThreadCodePage(UINT codePage);

    UINT id() const { return m_id; }
    bool isLeadByte(unsigned char byte) const;
    // The length in bytes (1 to 4) of the character at text[0, bytes), bytes > 0.
    // A byte that does not start a valid character has length 1.
    size_t charLength(const unsigned char* text, size_t bytes) const;

    // Converts src[0, srcBytes) into dst[0, dstChars) and returns the wide
    // characters written. Invalid bytes become U+FFFD. When dst is null nothing
    // is written and the characters needed are counted. *complete is false when
    // the conversion stopped because dst was full.
    size_t decode(const char* src, size_t srcBytes, wchar_t* dst, size_t dstChars, bool* complete) const;
    // Converts src[0, srcChars) into dst[0, dstBytes), whole characters only, and
    // returns the bytes written (or needed when dst is null). Characters the
    // code page lacks become defaultChar and set *usedDefault.
    size_t encode(const wchar_t* src, size_t srcChars, char* dst, size_t dstBytes, char defaultChar,
                  bool* usedDefault, bool* complete) const;

    std::wstring decode(const char* src, size_t srcBytes) const;
    std::string encode(const wchar_t* src, size_t srcChars) const;

private:
    KoTextCodec(UINT id, const char* iconvName, bool doubleByte, int slot)
        : m_id(id), m_iconvName(iconvName), m_doubleByte(doubleByte), m_slot(slot) {}

    // Defined and used in KoTextCodec.cpp only.
    template <class Sink>
    bool decodeInto(const unsigned char* src, size_t n, Sink& out) const;
    template <class Sink>
    bool decodeRun(const unsigned char* src, size_t n, Sink& out) const;
    // The run through the thread's character cache: false, with nothing put,
    // when a character of it is not one the cache keeps.
    template <class Sink>
    bool decodeCached(const unsigned char* src, size_t n, Sink& out, bool& complete) const;
    // The wide character of one character of the code page (one or two
    // bytes) converted alone; 0 when it converts to anything else.
    wchar_t decodeOne(const unsigned char* src, size_t n) const;
    template <class Sink>
    bool encodeInto(const wchar_t* src, size_t n, char defaultChar, bool& usedDefault, Sink& out) const;
    template <class Sink>
    bool encodeRun(const wchar_t* src, size_t n, char defaultChar, bool& usedDefault, Sink& out) const;
    void* toWide() const; // the thread's iconv converter, or null
    void* fromWide() const;

    UINT m_id;
    const char* m_iconvName;
    bool m_doubleByte;
    int m_slot; // index into the per-thread converter cache
};

#endif // KO_TEXT_CODEC_H
