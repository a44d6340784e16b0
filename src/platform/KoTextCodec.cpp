#include "KoTextCodec.h"

#include <errno.h>
#include <iconv.h>
#include <stdint.h>
#include <string.h>

#include <memory>

#include "KoCodePage.h"

namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);
const wchar_t kReplacement = 0xFFFD;

// Slots of the per-thread converter cache, one per known code page.
enum { kSlotGbk, kSlotLatin, kSlotUtf8, kSlotCount };

thread_local UINT t_codePage = 936;

// The converters a thread has opened, closed when the thread ends.
struct ThreadConverters {
    iconv_t toWide[kSlotCount];
    iconv_t fromWide[kSlotCount];

    ThreadConverters() {
        for (int i = 0; i < kSlotCount; ++i) toWide[i] = fromWide[i] = kNoConverter;
    }
    ~ThreadConverters() {
        for (int i = 0; i < kSlotCount; ++i) {
            if (toWide[i] != kNoConverter) iconv_close(toWide[i]);
            if (fromWide[i] != kNoConverter) iconv_close(fromWide[i]);
        }
    }
    ThreadConverters(const ThreadConverters&) = delete;
    ThreadConverters& operator=(const ThreadConverters&) = delete;
};

thread_local ThreadConverters t_converters;

// The wide form of the characters of one or two bytes a thread has converted,
// per code page: texts repeat their characters, and a call to iconv for every
// run of them costs more than the conversion itself. A page of 256 entries
// for each first byte (one more for the characters of one byte), made when
// first used; an entry is 0 while unknown and kNotKept for a character that
// does not convert to exactly one wide character alone.
const uint32_t kNotKept = 0xFFFFFFFFu;

struct ThreadCharacters {
    std::unique_ptr<uint32_t[]> pages[kSlotCount][257];

    uint32_t& entry(int slot, const unsigned char* s, size_t n) {
        std::unique_ptr<uint32_t[]>& page = pages[slot][n == 1 ? 256 : s[0]];
        if (!page) page = std::make_unique<uint32_t[]>(256);
        return page[n == 1 ? s[0] : s[1]];
    }
};

thread_local ThreadCharacters t_characters;

// Opens the converter on first use; null when iconv cannot provide it (every
// character of the run is then replaced).
iconv_t converter(iconv_t& slot, const char* to, const char* from) {
    if (slot == kNoConverter) slot = iconv_open(to, from);
    if (slot == kNoConverter) return kNoConverter;
    iconv(slot, nullptr, nullptr, nullptr, nullptr); // initial shift state
    return slot;
}

// Output into a caller's wide buffer, or counting only when dst is null.
struct WideBufferSink {
    wchar_t* dst;
    size_t capacity;
    size_t count;
    bool put(wchar_t c) {
        if (dst) {
            if (count == capacity) return false;
            dst[count] = c;
        }
        ++count;
        return true;
    }
};

struct WideStringSink {
    std::wstring& text;
    bool put(wchar_t c) {
        text.push_back(c);
        return true;
    }
};

// Output into a caller's byte buffer, whole characters only; counting only when
// dst is null.
struct NarrowBufferSink {
    char* dst;
    size_t capacity;
    size_t count;
    bool put(char c) { return put(&c, 1); }
    bool put(const char* bytes, size_t n) {
        if (dst) {
            if (n > capacity - count) return false;
            memcpy(dst + count, bytes, n);
        }
        count += n;
        return true;
    }
};

struct NarrowStringSink {
    std::string& text;
    bool put(char c) {
        text.push_back(c);
        return true;
    }
    bool put(const char* bytes, size_t n) {
        text.append(bytes, n);
        return true;
    }
};

} // namespace

// ---------------------------------------------------------------------------
// The known code pages

const KoTextCodec* KoTextCodec::find(UINT codePage) {
    static const KoTextCodec gbk(936, "CP936", true, kSlotGbk);
    static const KoTextCodec latin(1252, "CP1252", false, kSlotLatin);
    static const KoTextCodec utf8(CP_UTF8, "UTF-8", false, kSlotUtf8);
    if (codePage == CP_ACP || codePage == CP_THREAD_ACP) codePage = t_codePage;
    switch (codePage) {
    case 936:
        return &gbk;
    case 1252:
        return &latin;
    case CP_UTF8:
        return &utf8;
    default:
        return nullptr;
    }
}

bool KoTextCodec::isKnown(UINT codePage) {
    return codePage != CP_ACP && codePage != CP_THREAD_ACP && find(codePage) != nullptr;
}

UINT KoTextCodec::threadCodePage() { return t_codePage; }

void KoTextCodec::setThreadCodePage(UINT codePage) { t_codePage = codePage; }

bool KoTextCodec::isLeadByte(unsigned char byte) const {
    return m_doubleByte && byte >= 0x81 && byte <= 0xFE;
}

size_t KoTextCodec::charLength(const unsigned char* s, size_t n) const {
    unsigned char b = s[0];
    if (b < 0x80) return 1;
    if (m_doubleByte) {
        // Lead 0x81..0xFE, trail 0x40..0xFE without 0x7F.
        if (isLeadByte(b) && n >= 2 && s[1] >= 0x40 && s[1] != 0x7F && s[1] != 0xFF) return 2;
        return 1;
    }
    if (m_id != CP_UTF8) return 1;
    size_t len;
    if (b >= 0xC2 && b <= 0xDF)
        len = 2;
    else if (b >= 0xE0 && b <= 0xEF)
        len = 3;
    else if (b >= 0xF0 && b <= 0xF4)
        len = 4;
    else
        return 1;
    if (len > n) return 1;
    for (size_t i = 1; i < len; ++i)
        if ((s[i] & 0xC0) != 0x80) return 1;
    return len;
}

void* KoTextCodec::toWide() const {
    iconv_t cd = converter(t_converters.toWide[m_slot], "WCHAR_T", m_iconvName);
    return cd == kNoConverter ? nullptr : cd;
}

void* KoTextCodec::fromWide() const {
    iconv_t cd = converter(t_converters.fromWide[m_slot], m_iconvName, "WCHAR_T");
    return cd == kNoConverter ? nullptr : cd;
}

// ---------------------------------------------------------------------------
// Narrow to wide

template <class Sink>
bool KoTextCodec::decodeInto(const unsigned char* s, size_t n, Sink& out) const {
    size_t i = 0;
    while (i < n) {
        if (s[i] < 0x80) {
            if (!out.put(static_cast<wchar_t>(s[i]))) return false;
            ++i;
            continue;
        }
        // A run of non-ASCII characters (a double-byte pair may end in an ASCII
        // byte), converted by iconv in one go.
        size_t end = i;
        while (end < n && s[end] >= 0x80) end += charLength(s + end, n - end);
        bool complete = true;
        if (decodeCached(s + i, end - i, out, complete)) {
            if (!complete) return false;
        } else if (!decodeRun(s + i, end - i, out)) {
            return false;
        }
        i = end;
    }
    return true;
}

template <class Sink>
bool KoTextCodec::decodeRun(const unsigned char* s, size_t n, Sink& out) const {
    iconv_t cd = static_cast<iconv_t>(toWide());
    if (!cd) {
        for (size_t i = 0; i < n; ++i)
            if (!out.put(kReplacement)) return false;
        return true;
    }
    char* in = reinterpret_cast<char*>(const_cast<unsigned char*>(s));
    size_t inLeft = n;
    wchar_t chunk[64];
    while (inLeft > 0) {
        char* o = reinterpret_cast<char*>(chunk);
        size_t oLeft = sizeof chunk;
        size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
        int error = r == static_cast<size_t>(-1) ? errno : 0;
        size_t produced = (sizeof chunk - oLeft) / sizeof(wchar_t);
        for (size_t k = 0; k < produced; ++k)
            if (!out.put(chunk[k])) return false;
        if (error != 0 && error != E2BIG) {
            // Not a character of the code page (or cut off at the end): one
            // replacement, then go on after its first byte. A well-formed
            // double-byte pair that the code page leaves unassigned is passed
            // over whole: its trail byte may look like a lead byte, and
            // reading on from it would invent a character and swallow the next.
            if (!out.put(kReplacement)) return false;
            const unsigned char* bad = reinterpret_cast<const unsigned char*>(in);
            size_t skip = m_doubleByte ? charLength(bad, inLeft) : 1;
            in += skip;
            inLeft -= skip;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    return true;
}

template <class Sink>
bool KoTextCodec::decodeCached(const unsigned char* s, size_t n, Sink& out, bool& complete) const {
    // Every character known first: a run the cache cannot convert whole goes
    // to iconv whole, as it always did. (The thread's cache is looked up once:
    // in a shared library each look-up is a call.)
    ThreadCharacters& characters = t_characters;
    for (size_t i = 0; i < n;) {
        size_t length = charLength(s + i, n - i);
        if (length > 2) return false;
        uint32_t& known = characters.entry(m_slot, s + i, length);
        if (known == 0) {
            wchar_t c = decodeOne(s + i, length);
            known = c ? static_cast<uint32_t>(c) : kNotKept;
        }
        if (known == kNotKept) return false;
        i += length;
    }
    for (size_t i = 0; i < n;) {
        size_t length = charLength(s + i, n - i);
        if (!out.put(static_cast<wchar_t>(characters.entry(m_slot, s + i, length)))) {
            complete = false;
            return true;
        }
        i += length;
    }
    return true;
}

wchar_t KoTextCodec::decodeOne(const unsigned char* s, size_t n) const {
    iconv_t cd = static_cast<iconv_t>(toWide());
    if (!cd) return 0;
    char* in = reinterpret_cast<char*>(const_cast<unsigned char*>(s));
    size_t inLeft = n;
    wchar_t chars[2];
    char* o = reinterpret_cast<char*>(chars);
    size_t oLeft = sizeof chars;
    size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
    if (r == static_cast<size_t>(-1) || inLeft != 0 || oLeft != sizeof chars - sizeof(wchar_t)) return 0;
    return chars[0];
}

size_t KoTextCodec::decode(const char* src, size_t srcBytes, wchar_t* dst, size_t dstChars,
                           bool* complete) const {
    WideBufferSink sink{dst, dstChars, 0};
    bool done = decodeInto(reinterpret_cast<const unsigned char*>(src), srcBytes, sink);
    if (complete) *complete = done;
    return sink.count;
}

std::wstring KoTextCodec::decode(const char* src, size_t srcBytes) const {
    std::wstring text;
    text.reserve(srcBytes);
    WideStringSink sink{text};
    decodeInto(reinterpret_cast<const unsigned char*>(src), srcBytes, sink);
    return text;
}

// ---------------------------------------------------------------------------
// Wide to narrow

template <class Sink>
bool KoTextCodec::encodeInto(const wchar_t* s, size_t n, char defaultChar, bool& usedDefault,
                             Sink& out) const {
    size_t i = 0;
    while (i < n) {
        uint32_t c = static_cast<uint32_t>(s[i]);
        if (c < 0x80) {
            if (!out.put(static_cast<char>(c))) return false;
            ++i;
            continue;
        }
        size_t end = i;
        while (end < n && static_cast<uint32_t>(s[end]) >= 0x80) ++end;
        if (!encodeRun(s + i, end - i, defaultChar, usedDefault, out)) return false;
        i = end;
    }
    return true;
}

template <class Sink>
bool KoTextCodec::encodeRun(const wchar_t* s, size_t n, char defaultChar, bool& usedDefault,
                            Sink& out) const {
    iconv_t cd = static_cast<iconv_t>(fromWide());
    if (!cd) {
        usedDefault = true;
        for (size_t i = 0; i < n; ++i)
            if (!out.put(defaultChar)) return false;
        return true;
    }
    char* in = reinterpret_cast<char*>(const_cast<wchar_t*>(s));
    size_t inLeft = n * sizeof(wchar_t);
    char chunk[256];
    while (inLeft > 0) {
        char* o = chunk;
        size_t oLeft = sizeof chunk;
        size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
        int error = r == static_cast<size_t>(-1) ? errno : 0;
        // iconv writes whole characters only; hand them on one by one so that
        // a full destination stops between two characters.
        size_t produced = sizeof chunk - oLeft;
        const unsigned char* bytes = reinterpret_cast<const unsigned char*>(chunk);
        for (size_t k = 0; k < produced;) {
            size_t len = charLength(bytes + k, produced - k);
            if (!out.put(chunk + k, len)) return false;
            k += len;
        }
        if (error != 0 && error != E2BIG) {
            usedDefault = true;
            if (!out.put(defaultChar)) return false;
            in += sizeof(wchar_t);
            inLeft -= sizeof(wchar_t);
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    return true;
}

size_t KoTextCodec::encode(const wchar_t* src, size_t srcChars, char* dst, size_t dstBytes, char defaultChar,
                           bool* usedDefault, bool* complete) const {
    NarrowBufferSink sink{dst, dstBytes, 0};
    bool used = false;
    bool done = encodeInto(src, srcChars, defaultChar, used, sink);
    if (usedDefault) *usedDefault = used;
    if (complete) *complete = done;
    return sink.count;
}

std::string KoTextCodec::encode(const wchar_t* src, size_t srcChars) const {
    std::string text;
    text.reserve(srcChars);
    NarrowStringSink sink{text};
    bool used = false;
    encodeInto(src, srcChars, '?', used, sink);
    return text;
}
