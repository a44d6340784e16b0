// The registry, kept as a folder tree: HKEY_CLASSES_ROOT is the folder
// $KO_REGISTRY_ROOT, else $HOME/.local/share/ko/registry (read on every call;
// created when a key or value is first written). Only what self-registration
// needs.
//
// On disk: a key is a folder named by the key name in UTF-8; a value is a file
// in its key's folder named '=' followed by the value name in UTF-8 (the
// default value is the file "="). In both, '%' and '/' are written as %25 and
// %2F, a key name starting with '=' starts with %3D instead, and the key names
// "." and ".." are written %2E and %2E%2E, so no name can clash with another
// or leave the tree. A value file holds the type in decimal, a newline, and the
// data: REG_SZ as UTF-8 text without terminator, other types as given. Values
// are written to a temporary file "%tmp-XXXXXX" that is then renamed over the
// value file, so readers see the old value or the new one. Key names compare
// case-sensitively.
//
// Results are Win32 error codes: ERROR_FILE_NOT_FOUND for a key or value that
// is not there, ERROR_INVALID_HANDLE for a key that is not open,
// ERROR_KEY_DELETED for an open key whose folder is gone, ERROR_BAD_PATHNAME
// for an empty name inside a subkey path.
#ifndef KO_REGISTRY_H
#define KO_REGISTRY_H

#include "KoWinTypes.h"

struct KoRegKey;
typedef KoRegKey* HKEY;
typedef HKEY* PHKEY;
typedef DWORD REGSAM;

#define HKEY_CLASSES_ROOT ((HKEY)(uintptr_t)0x80000000u)

#define REG_NONE 0
#define REG_SZ 1
#define REG_DWORD 4
#define REG_OPTION_NON_VOLATILE 0
#define REG_CREATED_NEW_KEY 1
#define REG_OPENED_EXISTING_KEY 2
#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#define KEY_CREATE_SUB_KEY 0x0004
#define KEY_ENUMERATE_SUB_KEYS 0x0008
#define KEY_READ 0x20019
#define KEY_WRITE 0x20006
#define KEY_ALL_ACCESS 0xF003F
#define MAXIMUM_ALLOWED 0x02000000

extern "C" {
KO_PLATFORM_API LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR keyClass, DWORD options,
                                     REGSAM access, void* security, PHKEY result, LPDWORD disposition);
KO_PLATFORM_API LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY result);
// valueName null or empty: the key's default value. REG_SZ data are wide
// characters; the text ends at the first NUL or after dataBytes.
KO_PLATFORM_API LONG RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD reserved, DWORD type, const BYTE* data,
                                    DWORD dataBytes);
// As on Windows: data null gives the size in *dataBytes; a buffer too small
// gives ERROR_MORE_DATA with the size needed and nothing written. REG_SZ data
// come back NUL-terminated.
KO_PLATFORM_API LONG RegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD reserved, LPDWORD type, BYTE* data,
                                      LPDWORD dataBytes);
// Subkeys in name order (by character code); ERROR_NO_MORE_ITEMS past the last.
// *nameChars: the buffer's size in characters; set to the name's length without
// the terminator; ERROR_MORE_DATA when the name and its terminator do not fit.
KO_PLATFORM_API LONG RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameChars, LPDWORD reserved,
                                   LPWSTR keyClass, LPDWORD classChars, void* lastWriteTime);
// Deletes a key that has no subkeys (its values go with it);
// ERROR_ACCESS_DENIED when it has subkeys or is the root.
KO_PLATFORM_API LONG RegDeleteKeyW(HKEY key, LPCWSTR subKey);
KO_PLATFORM_API LONG RegCloseKey(HKEY key);
}

#endif // KO_REGISTRY_H
