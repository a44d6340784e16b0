// The Windows side of the platform seam: the SDK, and the few extensions the
// component and its programs call that Win32 lacks (the Ko functions). Every
// platform header name the tree includes (KoCodePage.h, KoSync.h, ...) comes
// here on Windows; the Linux stand-ins of the same names are in ../.
#ifndef KO_WINDOWS_H
#define KO_WINDOWS_H

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <objbase.h>
#include <stddef.h>
#include <stdio.h>
#include <windows.h>

#include <string>

#include "KoCom.h"
#include "KoPlatform.h"

// A plain read of a counter that other threads change with the Interlocked
// functions.
inline LONG KoInterlockedRead(const volatile LONG* value) {
    return InterlockedCompareExchange(const_cast<volatile LONG*>(value), 0, 0);
}

extern "C" {
// The length of the longest prefix of text[0, bytes) that is at most maxBytes
// long and ends at a whole character of the code page (CP_ACP, CP_THREAD_ACP:
// the calling thread's). A byte that does not start a valid character counts
// as a character of its own.
size_t KoWholeCharPrefix(UINT codePage, const char* text, size_t bytes, size_t maxBytes);
// The Win32 error that stands for an errno value of the C runtime.
DWORD KoWin32ErrorFromErrno(int error);
// The module (DLL or executable) that holds the address; null if none.
HMODULE KoGetModuleHandleFromAddress(const void* address);
// Opens a file named in the calling thread's code page with the C runtime's
// buffered file functions (mode as for fopen). Null with the last error set on
// failure; a folder gives ERROR_ACCESS_DENIED.
FILE* KoOpenFileA(LPCSTR path, LPCSTR mode);
}

// Whole texts between the calling thread's code page and UTF-8.
std::string KoAnsiToUtf8(const char* text, size_t bytes);
std::string KoAnsiToUtf8(const char* text); // up to the NUL; null gives ""
std::string KoUtf8ToAnsi(const char* text, size_t bytes);
// The path (in the thread's code page) as UTF-8: Windows paths need no
// mapping here.
std::string KoMapWindowsPath(const char* path);

// The application framework's message box: a real message box without owner,
// its text in the calling thread's code page; or the host's handler, when one
// is installed (KoSetMessageBoxHandler).
int AfxMessageBox(LPCSTR text, UINT type = MB_OK, UINT helpId = 0);

#endif // KO_WINDOWS_H
