// The component's side of the diagnostics log: trace messages and failure
// notices.
#ifndef KO_TRACE_H
#define KO_TRACE_H

#include "KoCom.h"
#include "KoDebug.h"

// Categories of the component's trace messages.
enum {
    KO_TRACE_CATEGORY_POOL = 6017,   // life cycle of pooled result objects
    KO_TRACE_CATEGORY_ACCESS = 6044, // operations of the access object
};
enum { KO_TRACE_LEVEL = 1 };

// Formats a trace message into a log buffer and commits it to the live log
// (KoTraceLive) or writes it to the log file (KoTraceFile); the caller has
// asked the filter. The text is cut to the buffer's capacity - 1 bytes at a
// whole character. Conversions: %d %i %u %x %X %o %c %s %p %% with flags,
// width, precision and the length modifiers h hh l ll z j t; %S and %ls take
// wide text, written in the thread's code page.
void KoTraceLive(int category, int level, const char* format, ...);
void KoTraceFile(int category, int level, const char* format, ...);

// A trace message for the live log and the log file, each as its filter
// decides (each filter asked separately). With both filters closed nothing is
// formatted and no argument is looked at: trace lines sit on hot paths.
template <class... Args>
inline void KoTraceMessage(int category, int level, const char* format, Args... args) {
    if (KoFilterLogMessage(category, level)) KoTraceLive(category, level, format, args...);
    if (KoFilterLogToFile(category, level)) KoTraceFile(category, level, format, args...);
}

// "%s hr=%x." with the message and the code.
void KoNotifyFailure(const char* message, HRESULT hr);
// "%s hr=%x.File : %s. LINE : %d" with the message, the code, the source unit
// (as "src\\CZuInterplayObjectManager") and the line.
void KoNotifyFailureAt(const char* message, HRESULT hr, const char* sourceUnit, int line);

#endif // KO_TRACE_H
