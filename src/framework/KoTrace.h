// The component's side of the diagnostics log: trace messages and failure
// notices.
#ifndef KO_TRACE_H
#define KO_TRACE_H

#include "KoCom.h"

// Categories of the component's trace messages.
enum {
    KO_TRACE_CATEGORY_POOL = 6017,    // life cycle of pooled result objects
    KO_TRACE_CATEGORY_ACCESS = 6044,  // operations of the access object
};
enum { KO_TRACE_LEVEL = 1 };

// Formats a trace message for the live log and the log file, each as its
// filter decides (each filter asked separately). The text is cut to the log
// buffer's capacity - 1 bytes at a whole character. Conversions: %d %i %u %x
// %X %c %s %p %% with flags, width, precision and the length modifiers
// h hh l ll z; %S and %ls take wide text, written in the thread's code page.
void KoTraceMessage(int category, int level, const char* format, ...);

// "%s hr=%x." with the message and the code.
void KoNotifyFailure(const char* message, HRESULT hr);
// "%s hr=%x.File : %s. LINE : %d" with the message, the code, the source unit
// (as "src\\CZuInterplayObjectManager") and the line.
void KoNotifyFailureAt(const char* message, HRESULT hr, const char* sourceUnit, int line);

#endif // KO_TRACE_H
