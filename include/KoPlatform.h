// Platform extensions a host calls to create the component and set up its
// environment: creation by CLSID, the calling thread's ANSI code page and the
// handler of the framework's message box. Hosts that call these link
// libKoPlatform, which the component shares with them.
#ifndef KO_PLATFORM_H
#define KO_PLATFORM_H

#include "KoCom.h"

#define KO_PLATFORM_API KO_PLATFORM_EXPORT

extern "C" {

// Creates an object of a registered in-process class, as CoCreateInstance
// with CLSCTX_INPROC_SERVER does (on Windows it is that call, after the
// calling thread has joined the multithreaded apartment if it was in none).
// On Linux the module is the default value (a UTF-8 path) of
// HKEY_CLASSES_ROOT\CLSID\{clsid}\InprocServer32 in the registry stand-in;
// it is loaded on first use and stays loaded for the life of the process;
// then DllGetClassObject and the class factory's CreateInstance(outer, iid,
// out). Results: those of the two calls; REGDB_E_CLASSNOTREG when the class
// has no module registered; HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND) when the
// module cannot be loaded; CO_E_ERRORINDLL when it has no DllGetClassObject;
// E_POINTER for a null out. *out is null on failure.
// Thread-safe.
KO_PLATFORM_API HRESULT KoCoCreateInstance(REFCLSID clsid, IUnknown* outer, REFIID iid, void** out);

// Sets the ANSI code page (CP_THREAD_ACP) of the calling thread; 936, 1252 and
// 65001 at least (on Windows: a code page of a locale, through the thread
// locale; 936, 950, 932, 949 and 1252). Returns the previous one, or 0 when the code page is unknown
// (the thread's code page is then unchanged). New threads start with 936.
KO_PLATFORM_API unsigned KoSetThreadCodePage(unsigned codePage);
KO_PLATFORM_API unsigned KoGetThreadCodePage();

// Called for each message box the component shows. ansiText is the text in the
// calling thread's code page, utf8Text the same text as UTF-8. The result is
// what the message box returns (IDOK is 1).
typedef int (*KoMessageBoxHandler)(const char* ansiText, const char* utf8Text, unsigned type, void* context);
// Installs a handler (null restores the default, which writes one line
// "[MessageBox] <text>" to stderr; on Windows the default is the system's
// message box, without owner). Process-wide: on Windows too, where each
// module links its own copy of these functions.
KO_PLATFORM_API void KoSetMessageBoxHandler(KoMessageBoxHandler handler, void* context);

// Called for each OutputDebugStringA. By default nothing is shown, unless the
// environment variable KO_DEBUG_OUTPUT is set and not empty, in which case the
// text goes to stderr as UTF-8, as it is (no newline added). Null restores the
// default. Process-wide.
typedef void (*KoDebugOutputHandler)(const char* text, void* context);
KO_PLATFORM_API void KoSetDebugOutputHandler(KoDebugOutputHandler handler, void* context);

} // extern "C"

#endif // KO_PLATFORM_H
