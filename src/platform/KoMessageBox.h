// The application framework's message box, shown through the handler a host
// installs with KoSetMessageBoxHandler.
#ifndef KO_MESSAGE_BOX_H
#define KO_MESSAGE_BOX_H

#include "KoWinTypes.h"

#define MB_OK 0x00000000u
#define IDOK 1

// text is in the calling thread's code page.
KO_PLATFORM_API int AfxMessageBox(LPCSTR text, UINT type = MB_OK, UINT helpId = 0);

#endif // KO_MESSAGE_BOX_H
