// Conversions between wide text and narrow text in the calling thread's code
// page, through buffers of fixed size. A text that does not fit is cut to the
// longest prefix of whole characters that fits with its terminator; nothing is
// ever written past a buffer.
#ifndef KO_TEXT_H
#define KO_TEXT_H

#include <stddef.h>

#include <string>

// The text as narrowing it through a buffer of bufferBytes bytes leaves it: at
// most bufferBytes - 1 bytes, cut at a whole character. Null text gives "".
std::string KoNarrow(const wchar_t* text, size_t bufferBytes);
// Same, without a limit.
std::string KoNarrow(const wchar_t* text);

// Widens into buffer (bufferChars wide characters, terminator included); a
// longer text is cut to bufferChars - 1 characters. Returns the characters
// written without the terminator. Null text gives "".
size_t KoWiden(const char* text, wchar_t* buffer, size_t bufferChars);
// Same, into a string, without a limit.
std::wstring KoWiden(const char* text);

// Copies wide text into a fixed field of fieldChars characters (terminator
// included), cutting a longer text. Null copies "".
void KoCopyWide(wchar_t* field, size_t fieldChars, const wchar_t* text);

#endif // KO_TEXT_H
