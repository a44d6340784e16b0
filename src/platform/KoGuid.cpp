#include "KoGuid.h"

namespace {

wchar_t* putHex(wchar_t* out, uint32_t value, int digits) {
    static const char kDigits[] = "0123456789ABCDEF";
    for (int i = digits - 1; i >= 0; --i) {
        out[i] = static_cast<wchar_t>(kDigits[value & 0xF]);
        value >>= 4;
    }
    return out + digits;
}

} // namespace

extern "C" int StringFromGUID2(REFGUID guid, LPOLESTR buffer, int bufferChars) {
    const int kChars = 39; // 38 characters and the terminator
    if (!buffer || bufferChars < kChars) return 0;
    wchar_t* p = buffer;
    *p++ = L'{';
    p = putHex(p, guid.Data1, 8);
    *p++ = L'-';
    p = putHex(p, guid.Data2, 4);
    *p++ = L'-';
    p = putHex(p, guid.Data3, 4);
    *p++ = L'-';
    for (int i = 0; i < 8; ++i) {
        if (i == 2) *p++ = L'-';
        p = putHex(p, guid.Data4[i], 2);
    }
    *p++ = L'}';
    *p = L'\0';
    return kChars;
}
