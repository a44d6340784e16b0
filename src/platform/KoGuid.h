// GUID strings.
#ifndef KO_GUID_H
#define KO_GUID_H

#include "KoWinTypes.h"

extern "C" {
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case; returns 39 (the
// characters written with the terminator), or 0 when the buffer is too small.
KO_PLATFORM_API int StringFromGUID2(REFGUID guid, LPOLESTR buffer, int bufferChars);
}

#endif // KO_GUID_H
