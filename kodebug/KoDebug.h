// The editing system's diagnostics library: a live log, a log file and error
// notices.
//
// Configuration (read once, at first use): KODEBUG_LIVE=1 sends live-log
// messages to stderr, KODEBUG_FILE=<path> appends file-log messages to that
// file; otherwise both filters say no. The filters answer the same for every
// category and level. Notices always go to stderr. Texts are narrow, in the
// calling thread's code page; what reaches stderr or the file is converted to
// UTF-8, one line per message:
//   stderr   "[KoDebug] [<category>:<level>] <text>"
//   file     "<yyyy-mm-dd hh:mm:ss.mmm> <thread id> [<category>:<level>] <text>"
//   notices  "[KoDebug notice] <text>"
// (a newline is added to a text that does not end in one). Tests capture all
// of it through KoDebugCapture.h.
#ifndef KO_DEBUG_H
#define KO_DEBUG_H

#include "KoCom.h"

#define KODEBUG_API KO_EXPORT

extern "C" {

// Non-zero when a message of this category and level goes to the live log.
KODEBUG_API int KoFilterLogMessage(int category, int level);
// Non-zero when it goes to the log file.
KODEBUG_API int KoFilterLogToFile(int category, int level);
// A writable buffer of *capacity (1024) bytes for one message of the calling
// thread. Each thread has two buffers, handed out in turn: a buffer stays the
// caller's until the second KoGetLogBuffer call after it on the same thread.
KODEBUG_API char* KoGetLogBuffer(int category, int level, int* capacity, int flags);
// Hands a filled buffer to the live log; length counts the terminating NUL
// (the text is cut at the buffer's capacity - 1 and at a NUL).
KODEBUG_API int KoCommitLogBuffer(char* buffer, int reserved1, int length, int reserved2);
// Writes a filled buffer to the log file.
KODEBUG_API int KoLogTextToFileA(const char* buffer);
// printf-style error notices.
KODEBUG_API int KoLogNotifyA(int reserved1, int reserved2, const char* format, ...) KO_PRINTF_FORMAT(3, 4);
KODEBUG_API int KoLogNotifyA_Add_file(int reserved1, int reserved2, const char* format, ...)
    KO_PRINTF_FORMAT(3, 4);

} // extern "C"

#endif // KO_DEBUG_H
