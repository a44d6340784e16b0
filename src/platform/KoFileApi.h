// Local files under Windows paths.
//
// A path with a drive letter, X:\dir\file, names <drive root>/x/dir/file: the
// letter lower-cased, '\' turned into '/', the names converted from the calling
// thread's code page to UTF-8. As on Windows, "." and ".." are resolved within
// the drive (never above its root). The drive root is $KO_DRIVE_ROOT, else
// $HOME/.local/share/ko/drives, read on every call. Other paths are only
// converted to UTF-8 (and '\' turned into '/'). No folder is ever created.
//
// Failures set the last error: ERROR_FILE_NOT_FOUND when the folder exists but
// the file does not, ERROR_PATH_NOT_FOUND when a folder on the way is missing,
// ERROR_FILE_EXISTS for CREATE_NEW on an existing file, ERROR_ACCESS_DENIED for
// a folder or a file that may not be opened so, ERROR_INVALID_PARAMETER for a
// null path or an unknown creation mode. Files and handles are not inherited
// by child processes.
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
#define TRUNCATE_EXISTING 5
#define FILE_ATTRIBUTE_NORMAL 0x00000080u
#define MOVEFILE_REPLACE_EXISTING 0x00000001u
#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)

// The local path a Windows path (in the thread's code page) names.
KO_PLATFORM_API std::string KoMapWindowsPath(const char* path);

extern "C" {
// A handle on the file (share mode, security, flags and template are not
// used); INVALID_HANDLE_VALUE on failure. CREATE_ALWAYS and OPEN_ALWAYS set the
// last error to ERROR_ALREADY_EXISTS when the file was there, else to 0.
KO_PLATFORM_API HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD shareMode, void* security, DWORD creation,
                                   DWORD flags, HANDLE templateFile);
KO_PLATFORM_API BOOL CloseHandle(HANDLE handle);
// fopen on the mapped path; the C runtime's buffered file functions then apply
// (files of any size: use fseeko/ftello for offsets beyond 2 GiB). Null with the
// last error set on failure; a folder gives ERROR_ACCESS_DENIED.
KO_PLATFORM_API FILE* KoOpenFileA(LPCSTR path, LPCSTR mode);
// Renames a file within its drive. With MOVEFILE_REPLACE_EXISTING an existing
// file of the new name is replaced in one step (readers see the old file or
// the new one, never a mix); without it, an existing file of that name gives
// ERROR_ALREADY_EXISTS. Other flags are not used.
KO_PLATFORM_API BOOL MoveFileExA(LPCSTR existingPath, LPCSTR newPath, DWORD flags);
KO_PLATFORM_API BOOL DeleteFileA(LPCSTR path);
}

#endif // KO_FILE_API_H
