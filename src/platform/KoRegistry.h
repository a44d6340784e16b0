// The registry, kept as a folder tree: HKEY_CLASSES_ROOT is the folder
// $KO_REGISTRY_ROOT, else $HOME/.local/share/ko/registry. A key is a folder, a
// value a file in it (written atomically). Only what self-registration needs.
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
KO_PLATFORM_API LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR keyClass,
                                     DWORD options, REGSAM access, void* security, PHKEY result,
                                     LPDWORD disposition);
KO_PLATFORM_API LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM access,
                                   PHKEY result);
// valueName null or empty: the key's default value.
KO_PLATFORM_API LONG RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD reserved, DWORD type,
                                    const BYTE* data, DWORD dataBytes);
KO_PLATFORM_API LONG RegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD reserved, LPDWORD type,
                                      BYTE* data, LPDWORD dataBytes);
// Subkeys in name order; ERROR_NO_MORE_ITEMS past the last.
KO_PLATFORM_API LONG RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameChars,
                                   LPDWORD reserved, LPWSTR keyClass, LPDWORD classChars,
                                   void* lastWriteTime);
// Deletes a key that has no subkeys (its values go with it).
KO_PLATFORM_API LONG RegDeleteKeyW(HKEY key, LPCWSTR subKey);
KO_PLATFORM_API LONG RegCloseKey(HKEY key);
}

#endif // KO_REGISTRY_H
