// Text helpers of the command-line host: its own text is UTF-8, the
// component's is wide.
#ifndef INTERPLAY_CLI_TEXT_H
#define INTERPLAY_CLI_TEXT_H

#include <string>

std::wstring Wide(const std::string& utf8);
std::string Utf8(const wchar_t* wide);
inline std::string Utf8(const std::wstring& wide) { return Utf8(wide.c_str()); }
// Columns the text takes on a terminal (CJK characters take two).
size_t DisplayWidth(const std::string& utf8);
// "0x88888FFF"
std::string HexCode(long code);
// The URL with the password of a user:password@ part replaced by "***".
std::string MaskedUrl(const std::string& url);

#endif // INTERPLAY_CLI_TEXT_H
