// MultiByteToWideChar / WideCharToMultiByte on iconv.
//
// Code pages: CP_ACP and CP_THREAD_ACP mean the calling thread's code page
// (KoSetThreadCodePage, default 936); 936, 1252 and 65001 (CP_UTF8) are known.
// As on Windows, a length of -1 converts through the terminating NUL and counts
// it, a destination size of 0 asks for the size needed, and a destination too
// small gives 0 with ERROR_INSUFFICIENT_BUFFER after whole characters were
// written as far as they fit; nothing is ever written past the destination.
// Bytes that do not form a character of the code page become U+FFFD; wide
// characters the code page lacks become '?'.
#ifndef KO_CODE_PAGE_H
#define KO_CODE_PAGE_H

#include "KoWinTypes.h"

#define CP_ACP 0
#define CP_THREAD_ACP 3
#define CP_UTF8 65001

extern "C" {
KO_PLATFORM_API int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR src, int srcBytes,
                                        LPWSTR dst, int dstChars);
KO_PLATFORM_API int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR src, int srcChars,
                                        LPSTR dst, int dstBytes, LPCSTR defaultChar,
                                        LPBOOL usedDefaultChar);
// Whether the byte starts a two-byte character in the code page (936: 0x81..0xFE).
KO_PLATFORM_API BOOL IsDBCSLeadByteEx(UINT codePage, BYTE byte);
}

#endif // KO_CODE_PAGE_H
