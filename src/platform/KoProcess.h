// Process-level details: the calling thread's identifier, the POSIX file
// functions (unistd.h, fcntl.h) and the program's arguments as UTF-8.
#ifndef KO_PROCESS_H
#define KO_PROCESS_H

#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <string>
#include <vector>

// The calling thread's identifier, as the system shows it.
inline long KoCurrentThreadId() { return static_cast<long>(syscall(SYS_gettid)); }

// The program's arguments as UTF-8 (here they are already).
inline std::vector<std::string> KoUtf8Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

#endif // KO_PROCESS_H
