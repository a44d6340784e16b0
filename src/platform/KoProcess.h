// Process-level details the diagnostics library needs: the calling thread's
// identifier and the POSIX file functions (unistd.h, fcntl.h).
#ifndef KO_PROCESS_H
#define KO_PROCESS_H

#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

// The calling thread's identifier, as the system shows it.
inline long KoCurrentThreadId() { return static_cast<long>(syscall(SYS_gettid)); }

#endif // KO_PROCESS_H
