// Debugger output.
#ifndef KO_DEBUG_OUTPUT_H
#define KO_DEBUG_OUTPUT_H

#include "KoWinTypes.h"

extern "C" {
// Sends the text to the debug output handler (KoSetDebugOutputHandler).
KO_PLATFORM_API void OutputDebugStringA(LPCSTR text);
}

#endif // KO_DEBUG_OUTPUT_H
