// Process-level details: the calling thread's identifier, the C runtime's
// POSIX file functions and the program's arguments as UTF-8.
#ifndef KO_PROCESS_H
#define KO_PROCESS_H

#include <fcntl.h>
#include <io.h>
#include <unistd.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "KoWindows.h"

// Handles of the C runtime are not inherited with this flag.
#ifndef O_CLOEXEC
#define O_CLOEXEC _O_NOINHERIT
#endif

inline long KoCurrentThreadId() { return static_cast<long>(GetCurrentThreadId()); }

// The program's arguments as UTF-8, from the wide command line (main's own
// are in the ANSI code page, which may lack characters).
inline std::vector<std::string> KoUtf8Arguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) {
        int bytes = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string text(bytes > 0 ? static_cast<size_t>(bytes) : 1, '\0');
        if (bytes > 0) WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, &text[0], bytes, nullptr, nullptr);
        text.resize(text.size() - 1);
        arguments.push_back(text);
    }
    LocalFree(wide);
    return arguments;
}

#endif // KO_PROCESS_H
