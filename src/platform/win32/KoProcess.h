// Process-level details the diagnostics library needs: the calling thread's
// identifier and the C runtime's POSIX file functions.
#ifndef KO_PROCESS_H
#define KO_PROCESS_H

#include <fcntl.h>
#include <io.h>
#include <unistd.h>

#include "KoWindows.h"

// Handles of the C runtime are not inherited with this flag.
#ifndef O_CLOEXEC
#define O_CLOEXEC _O_NOINHERIT
#endif

inline long KoCurrentThreadId() { return static_cast<long>(GetCurrentThreadId()); }

#endif // KO_PROCESS_H
