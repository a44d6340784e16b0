// Loading modules at run time, as hosts load the component's library.
#ifndef KO_LIBRARY_H
#define KO_LIBRARY_H

#include "KoModule.h"

typedef intptr_t (*FARPROC)();

extern "C" {
// Loads the shared object at path (in the thread's code page) with its
// symbols kept to itself; its handle (as KoGetModuleHandleFromAddress gives
// it), or null with ERROR_MOD_NOT_FOUND.
KO_PLATFORM_API HMODULE LoadLibraryA(LPCSTR path);
// The address of an exported function; null with ERROR_PROC_NOT_FOUND.
KO_PLATFORM_API FARPROC GetProcAddress(HMODULE module, LPCSTR name);
// Drops one load of the module; it is unloaded after its last.
KO_PLATFORM_API BOOL FreeLibrary(HMODULE module);
}

#endif // KO_LIBRARY_H
