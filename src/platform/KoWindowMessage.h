// Registered window messages.
#ifndef KO_WINDOW_MESSAGE_H
#define KO_WINDOW_MESSAGE_H

#include "KoWinTypes.h"

extern "C" {
// A process-wide identifier in 0xC000..0xFFFF, the same for names that compare
// equal without regard to ASCII letter case; 0 for a null or empty name.
KO_PLATFORM_API UINT RegisterWindowMessageA(LPCSTR name);
}

#endif // KO_WINDOW_MESSAGE_H
