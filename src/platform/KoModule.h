// Module handles and names.
#ifndef KO_MODULE_H
#define KO_MODULE_H

#include "KoWinTypes.h"

typedef void* HMODULE;
typedef HMODULE HINSTANCE;

extern "C" {
// The module (shared object or executable) that holds the address; null if none.
KO_PLATFORM_API HMODULE KoGetModuleHandleFromAddress(const void* address);
// Full path of the module, in the thread's code page. As on Windows: returns the
// length copied without the terminator; when the buffer is too small the path is
// cut to size - 1 bytes at a whole character, terminated, size is returned and
// the last error is ERROR_INSUFFICIENT_BUFFER; 0 on failure.
KO_PLATFORM_API DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size);
// Thread attach and detach notifications do not exist here; succeeds.
KO_PLATFORM_API BOOL DisableThreadLibraryCalls(HMODULE module);
}

#endif // KO_MODULE_H
