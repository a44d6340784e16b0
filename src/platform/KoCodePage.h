// MultiByteToWideChar / WideCharToMultiByte on iconv.
//
// Code pages: CP_ACP and CP_THREAD_ACP mean the calling thread's code page
// (KoSetThreadCodePage, default 936); 936, 1252 and 65001 (CP_UTF8) are known.
// As on Windows, a length of -1 converts through the terminating NUL and counts
// it, a destination size of 0 asks for the size needed, and a destination too
// small gives 0 with ERROR_INSUFFICIENT_BUFFER after whole characters were
// written as far as they fit (never half of a double-byte pair); nothing is
// ever written past the destination. So a caller that zero-fills a buffer of n
// bytes and converts into its first n - 1 gets the longest prefix of whole
// characters that fits, terminated. Bytes that do not form a character of the
// code page become U+FFFD, one per byte (one per pair for a well-formed
// double-byte pair the code page leaves unassigned); wide characters the code
// page lacks become '?' (or the default character given to WideCharToMultiByte).
// In 936, 0x80 is the euro sign; 0xFF and the user-defined areas are not
// characters.
// Other failures (null text, a length of 0 or below -1, an unknown code page)
// give 0 with ERROR_INVALID_PARAMETER. The flags are not used.
#ifndef KO_CODE_PAGE_H
#define KO_CODE_PAGE_H

#include <string>

#include "KoWinTypes.h"

#define CP_ACP 0
#define CP_THREAD_ACP 3
#define CP_UTF8 65001

extern "C" {
KO_PLATFORM_API int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR src, int srcBytes, LPWSTR dst,
                                        int dstChars);
// defaultChar: its first byte replaces wide characters the code page lacks;
// usedDefaultChar: set to whether that happened. Both must be null for CP_UTF8.
KO_PLATFORM_API int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR src, int srcChars, LPSTR dst,
                                        int dstBytes, LPCSTR defaultChar, LPBOOL usedDefaultChar);
// Whether the byte starts a two-byte character in the code page (936: 0x81..0xFE).
KO_PLATFORM_API BOOL IsDBCSLeadByteEx(UINT codePage, BYTE byte);

// Platform extension: the length of the longest prefix of text[0, bytes) that
// is at most maxBytes long and ends at a whole character of the code page
// (CP_ACP / CP_THREAD_ACP: the calling thread's). A byte that does not start a
// valid character counts as a character of its own. 0 with
// ERROR_INVALID_PARAMETER for an unknown code page.
KO_PLATFORM_API size_t KoWholeCharPrefix(UINT codePage, const char* text, size_t bytes, size_t maxBytes);
}

// Platform extensions: whole texts between the calling thread's code page and
// UTF-8, with the replacements described above.
KO_PLATFORM_API std::string KoAnsiToUtf8(const char* text, size_t bytes);
KO_PLATFORM_API std::string KoAnsiToUtf8(const char* text); // up to the NUL; null gives ""
KO_PLATFORM_API std::string KoUtf8ToAnsi(const char* text, size_t bytes);

#endif // KO_CODE_PAGE_H
