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

#define ERROR_SUCCESS 0
#define ERROR_FILE_NOT_FOUND 2
#define ERROR_PATH_NOT_FOUND 3
#define ERROR_TOO_MANY_OPEN_FILES 4
#define ERROR_ACCESS_DENIED 5
#define ERROR_INVALID_HANDLE 6
#define ERROR_NOT_ENOUGH_MEMORY 8
#define ERROR_INVALID_DATA 13
#define ERROR_OUTOFMEMORY 14
#define ERROR_WRITE_FAULT 29
#define ERROR_READ_FAULT 30
#define ERROR_GEN_FAILURE 31
#define ERROR_SHARING_VIOLATION 32
#define ERROR_HANDLE_EOF 38
#define ERROR_FILE_EXISTS 80
#define ERROR_INVALID_PARAMETER 87
#define ERROR_DISK_FULL 112
#define ERROR_INSUFFICIENT_BUFFER 122
#define ERROR_INVALID_NAME 123
#define ERROR_MOD_NOT_FOUND 126
#define ERROR_PROC_NOT_FOUND 127
#define ERROR_DIR_NOT_EMPTY 145
#define ERROR_BAD_PATHNAME 161
#define ERROR_ALREADY_EXISTS 183
#define ERROR_FILENAME_EXCED_RANGE 206
#define ERROR_FILE_TOO_LARGE 223
#define ERROR_MORE_DATA 234
#define ERROR_NO_MORE_ITEMS 259
#define ERROR_NO_UNICODE_TRANSLATION 1113
#define ERROR_BADKEY 1010
#define ERROR_KEY_DELETED 1018

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
