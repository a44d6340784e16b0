// Win32 scalar types, error codes and the per-thread last error.
#ifndef KO_WIN_TYPES_H
#define KO_WIN_TYPES_H

#include <stddef.h>
#include <stdint.h>

#include "KoCom.h"
#include "KoPlatform.h"

typedef unsigned int UINT;
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef char CHAR;
typedef wchar_t WCHAR;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef wchar_t* LPWSTR;
typedef const wchar_t* LPCWSTR;
typedef BOOL* LPBOOL;
typedef DWORD* LPDWORD;
typedef void* LPVOID;
typedef void* HANDLE;

#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_TOO_MANY_OPEN_FILES 4L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_INVALID_DATA 13L
#define ERROR_OUTOFMEMORY 14L
#define ERROR_WRITE_FAULT 29L
#define ERROR_READ_FAULT 30L
#define ERROR_GEN_FAILURE 31L
#define ERROR_SHARING_VIOLATION 32L
#define ERROR_HANDLE_EOF 38L
#define ERROR_FILE_EXISTS 80L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_DISK_FULL 112L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_INVALID_NAME 123L
#define ERROR_MOD_NOT_FOUND 126L
#define ERROR_PROC_NOT_FOUND 127L
#define ERROR_DIR_NOT_EMPTY 145L
#define ERROR_BAD_PATHNAME 161L
#define ERROR_ALREADY_EXISTS 183L
#define ERROR_FILENAME_EXCED_RANGE 206L
#define ERROR_FILE_TOO_LARGE 223L
#define ERROR_MORE_DATA 234L
#define ERROR_NO_MORE_ITEMS 259L
#define ERROR_NO_UNICODE_TRANSLATION 1113L
#define ERROR_BADKEY 1010L
#define ERROR_KEY_DELETED 1018L

extern "C" {
// The calling thread's last error; each thread starts with ERROR_SUCCESS.
KO_PLATFORM_API DWORD GetLastError();
KO_PLATFORM_API void SetLastError(DWORD error);
// The Win32 error that stands for an errno value (ENOENT -> ERROR_FILE_NOT_FOUND,
// EACCES -> ERROR_ACCESS_DENIED, ...; ERROR_GEN_FAILURE when none fits). For
// callers of the C runtime's file functions that report a Win32 error.
KO_PLATFORM_API DWORD KoWin32ErrorFromErrno(int error);
}

#endif // KO_WIN_TYPES_H
