// What a command-line host needs of its surroundings: whether a stream is a
// terminal, echo of the console's input, the per-user settings folder, the
// access rights of a file and the process's environment.
#ifndef KO_CONSOLE_H
#define KO_CONSOLE_H

#include <io.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "KoWindows.h"

inline bool KoIsTerminal(FILE* stream) { return _isatty(_fileno(stream)) != 0; }

// Turns the echo of what is typed at the console on standard input on or
// off; false when standard input is no console.
inline bool KoSetInputEcho(bool echo) {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (input == INVALID_HANDLE_VALUE || !GetConsoleMode(input, &mode)) return false;
    mode = echo ? (mode | ENABLE_ECHO_INPUT) : (mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
    return SetConsoleMode(input, mode) != 0;
}

// The folder of the account's settings, UTF-8: %APPDATA%; empty when unset.
inline std::string KoUserConfigFolder() {
    const wchar_t* folder = _wgetenv(L"APPDATA");
    if (!folder || !*folder) return std::string();
    int bytes = WideCharToMultiByte(CP_UTF8, 0, folder, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1) return std::string();
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, folder, -1, &utf8[0], bytes, nullptr, nullptr);
    utf8.resize(static_cast<size_t>(bytes - 1));
    return utf8;
}

// Whether users other than the file's owner may read it. The files under a
// Windows profile are the account's own unless someone shares them; their
// access lists are not examined here.
inline bool KoReadableByOthers(const std::string& /*utf8Path*/) { return false; }

// Sets a variable of the process's environment (for the libraries it loads
// afterwards): the C runtime's copy, which they read, and the system's.
inline void KoSetEnvironment(const char* name, const char* value) {
    _putenv((std::string(name) + "=" + value).c_str());
    SetEnvironmentVariableA(name, value);
}

#endif // KO_CONSOLE_H
