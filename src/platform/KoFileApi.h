// Local files under Windows paths.
//
// A path with a drive letter, X:\dir\file, names <drive root>/x/dir/file: the
// letter lower-cased, '\' turned into '/', the names converted from the calling
// thread's code page to UTF-8. The drive root is $KO_DRIVE_ROOT, else
// $HOME/.local/share/ko/drives. Other paths are only converted to UTF-8 (and
// '\' turned into '/'). No folder is ever created.
#ifndef KO_FILE_API_H
#define KO_FILE_API_H

#include <stdio.h>

#include <string>

#include "KoWinTypes.h"

#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 0x00000001u
#define FILE_SHARE_WRITE 0x00000002u
#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define FILE_ATTRIBUTE_NORMAL 0x00000080u
#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)

// The local path a Windows path (in the thread's code page) names.
KO_PLATFORM_API std::string KoMapWindowsPath(const char* path);

extern "C" {
KO_PLATFORM_API HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD shareMode, void* security,
                                   DWORD creation, DWORD flags, HANDLE templateFile);
KO_PLATFORM_API BOOL CloseHandle(HANDLE handle);
// fopen on the mapped path; the C runtime's buffered file functions then apply.
KO_PLATFORM_API FILE* KoOpenFileA(LPCSTR path, LPCSTR mode);
}

#endif // KO_FILE_API_H
