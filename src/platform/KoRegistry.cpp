#include "KoRegistry.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "KoCodePage.h"
#include "KoDataFolder.h"
#include "KoTextCodec.h"

// An open key other than the predefined root.
struct KoRegKey {
    uint32_t magic;
    std::string folder;
};

namespace {

const uint32_t kKeyMagic = 0x4B6F524B; // "KoRK"
const char kTempPrefix[] = "%tmp-";    // never the start of an encoded name
const size_t kMaxKeyNameChars = 255;

std::string toUtf8(const wchar_t* text, size_t chars) {
    return KoTextCodec::find(CP_UTF8)->encode(text, chars);
}

std::wstring fromUtf8(const std::string& text) {
    return KoTextCodec::find(CP_UTF8)->decode(text.data(), text.size());
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The file-system name of a key ("CLSID") or a value file ("=InprocServer32").
std::string encodeName(const std::string& name, bool value) {
    std::string out = value ? "=" : "";
    if (!value && (name == "." || name == "..")) {
        for (size_t i = 0; i < name.size(); ++i) out += "%2E";
        return out;
    }
    for (size_t i = 0; i < name.size(); ++i) {
        char c = name[i];
        if (c == '%')
            out += "%25";
        else if (c == '/')
            out += "%2F";
        else if (c == '=' && i == 0 && !value)
            out += "%3D";
        else
            out += c;
    }
    return out;
}

std::string decodeName(const std::string& encoded) {
    std::string out;
    for (size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == '%' && i + 2 < encoded.size() && hexValue(encoded[i + 1]) >= 0 &&
            hexValue(encoded[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(encoded[i + 1]) * 16 + hexValue(encoded[i + 2]));
            i += 2;
        } else {
            out += encoded[i];
        }
    }
    return out;
}

bool isKeyEntry(const char* name) {
    return strcmp(name, ".") != 0 && strcmp(name, "..") != 0 && name[0] != '=' &&
           strncmp(name, kTempPrefix, sizeof kTempPrefix - 1) != 0;
}

bool isFolder(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

LONG errorFromErrno(int error) { return static_cast<LONG>(KoWin32ErrorFromErrno(error)); }

// mkdir -p
LONG makeFolders(const std::string& path) {
    for (size_t i = 1; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != '/') continue;
        std::string prefix = path.substr(0, i);
        if (mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST) return errorFromErrno(errno);
    }
    return isFolder(path) ? ERROR_SUCCESS : ERROR_PATH_NOT_FOUND;
}

// The folder of an open key. The root's folder is created on demand: the
// predefined key always exists.
LONG keyFolder(HKEY key, std::string& folder, bool createRoot) {
    if (key == HKEY_CLASSES_ROOT) {
        folder = KoDataFolder("KO_REGISTRY_ROOT", ".local/share/ko/registry");
        if (folder.empty()) return ERROR_PATH_NOT_FOUND;
        return createRoot ? makeFolders(folder) : ERROR_SUCCESS;
    }
    uintptr_t bits = reinterpret_cast<uintptr_t>(key);
    if (!key || (bits & ~uintptr_t(0xFF)) == 0x80000000u || key->magic != kKeyMagic)
        return ERROR_INVALID_HANDLE;
    folder = key->folder;
    return isFolder(folder) ? ERROR_SUCCESS : ERROR_KEY_DELETED;
}

// "CLSID\\{...}\\InprocServer32" -> encoded folder names. A trailing '\' is
// allowed; other empty names are not.
LONG splitSubKey(const wchar_t* subKey, std::vector<std::string>& names) {
    if (!subKey) return ERROR_INVALID_PARAMETER;
    std::wstring path(subKey);
    size_t start = 0;
    while (start < path.size()) {
        size_t end = path.find(L'\\', start);
        if (end == std::wstring::npos) end = path.size();
        if (end == start) return ERROR_BAD_PATHNAME;
        if (end - start > kMaxKeyNameChars) return ERROR_INVALID_PARAMETER;
        names.push_back(encodeName(toUtf8(path.data() + start, end - start), false));
        start = end + 1;
    }
    return ERROR_SUCCESS;
}

LONG newKey(const std::string& folder, PHKEY result) {
    KoRegKey* key = new (std::nothrow) KoRegKey{kKeyMagic, folder};
    if (!key) return ERROR_NOT_ENOUGH_MEMORY;
    *result = key;
    return ERROR_SUCCESS;
}

std::string valueFileName(const wchar_t* valueName) {
    std::string name = valueName ? toUtf8(valueName, wcslen(valueName)) : std::string();
    return encodeName(name, true);
}

bool writeAll(int fd, const std::string& bytes) {
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

// Temp file and rename: readers see the old value or the new one, never a part.
LONG writeFileAtomically(const std::string& folder, const std::string& name, const std::string& content) {
    std::string temp = folder + "/" + kTempPrefix + "XXXXXX";
    int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? ERROR_KEY_DELETED : errorFromErrno(errno);
    bool written = fchmod(fd, 0644) == 0 && writeAll(fd, content) && fsync(fd) == 0;
    int error = written ? 0 : errno;
    if (close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (written && rename(temp.c_str(), (folder + "/" + name).c_str()) == 0) return ERROR_SUCCESS;
    if (written) error = errno;
    unlink(temp.c_str());
    return error == ENOSPC || error == EDQUOT ? ERROR_DISK_FULL : ERROR_WRITE_FAULT;
}

LONG readFile(const std::string& path, std::string& content) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? ERROR_FILE_NOT_FOUND : errorFromErrno(errno);
    content.clear();
    char buffer[4096];
    for (;;) {
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            close(fd);
            return ERROR_READ_FAULT;
        }
        if (n == 0) break;
        content.append(buffer, static_cast<size_t>(n));
    }
    close(fd);
    return ERROR_SUCCESS;
}

// Subkey folder names (encoded) of a folder; ENOENT when it is gone.
LONG listSubKeys(const std::string& folder, std::vector<std::string>& names) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) return errno == ENOENT ? ERROR_KEY_DELETED : errorFromErrno(errno);
    while (dirent* entry = readdir(dir)) {
        if (!isKeyEntry(entry->d_name)) continue;
        if (entry->d_type == DT_DIR ||
            (entry->d_type == DT_UNKNOWN && isFolder(folder + "/" + entry->d_name)))
            names.emplace_back(entry->d_name);
    }
    closedir(dir);
    return ERROR_SUCCESS;
}

} // namespace

extern "C" {

LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM, void*, PHKEY result,
                     LPDWORD disposition) {
    if (!result) return ERROR_INVALID_PARAMETER;
    std::vector<std::string> names;
    LONG error = splitSubKey(subKey, names);
    if (error != ERROR_SUCCESS) return error;
    std::string folder;
    error = keyFolder(key, folder, true);
    if (error != ERROR_SUCCESS) return error;
    bool created = false;
    for (const std::string& name : names) {
        folder += "/" + name;
        created = mkdir(folder.c_str(), 0777) == 0;
        if (!created && errno != EEXIST) return errorFromErrno(errno);
        if (!created && !isFolder(folder)) return ERROR_ACCESS_DENIED;
    }
    error = newKey(folder, result);
    if (error == ERROR_SUCCESS && disposition)
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return error;
}

LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD, REGSAM, PHKEY result) {
    if (!result) return ERROR_INVALID_PARAMETER;
    std::vector<std::string> names;
    LONG error = splitSubKey(subKey ? subKey : L"", names);
    if (error != ERROR_SUCCESS) return error;
    std::string folder;
    error = keyFolder(key, folder, false);
    if (error != ERROR_SUCCESS) return error;
    for (const std::string& name : names) folder += "/" + name;
    if (!isFolder(folder)) return ERROR_FILE_NOT_FOUND;
    return newKey(folder, result);
}

LONG RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD, DWORD type, const BYTE* data, DWORD dataBytes) {
    if (!data && dataBytes > 0) return ERROR_INVALID_PARAMETER;
    std::string folder;
    LONG error = keyFolder(key, folder, true);
    if (error != ERROR_SUCCESS) return error;
    std::string content = std::to_string(type) + "\n";
    if (type == REG_SZ) {
        // Wide characters up to the first NUL; data need not be aligned.
        std::wstring text(dataBytes / sizeof(wchar_t), L'\0');
        if (!text.empty()) memcpy(&text[0], data, text.size() * sizeof(wchar_t));
        text.resize(wcsnlen(text.c_str(), text.size()));
        content += toUtf8(text.data(), text.size());
    } else if (dataBytes > 0) {
        content.append(reinterpret_cast<const char*>(data), dataBytes);
    }
    return writeFileAtomically(folder, valueFileName(valueName), content);
}

LONG RegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD reserved, LPDWORD type, BYTE* data,
                      LPDWORD dataBytes) {
    if (reserved || (data && !dataBytes)) return ERROR_INVALID_PARAMETER;
    std::string folder;
    LONG error = keyFolder(key, folder, false);
    if (error != ERROR_SUCCESS) return error;
    std::string content;
    error = readFile(folder + "/" + valueFileName(valueName), content);
    if (error != ERROR_SUCCESS) return error;

    size_t newline = content.find('\n');
    if (newline == std::string::npos || newline == 0 || newline > 10 ||
        content.find_first_not_of("0123456789") != newline)
        return ERROR_INVALID_DATA;
    unsigned long storedType = strtoul(content.c_str(), nullptr, 10);
    std::string payload = content.substr(newline + 1);
    std::string bytes;
    if (storedType == REG_SZ) {
        std::wstring text = fromUtf8(payload);
        bytes.assign(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * sizeof(wchar_t));
    } else {
        bytes = payload;
    }
    if (type) *type = static_cast<DWORD>(storedType);
    if (!dataBytes) return ERROR_SUCCESS;
    DWORD available = *dataBytes;
    *dataBytes = static_cast<DWORD>(bytes.size());
    if (!data) return ERROR_SUCCESS;
    if (available < bytes.size()) return ERROR_MORE_DATA;
    // The stored bytes, terminator included when the value has one.
    memcpy(data, bytes.data(), bytes.size()); // NOLINT(bugprone-not-null-terminated-result)
    return ERROR_SUCCESS;
}

LONG RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameChars, LPDWORD reserved, LPWSTR keyClass,
                   LPDWORD classChars, void*) {
    if (!name || !nameChars || reserved) return ERROR_INVALID_PARAMETER;
    std::string folder;
    LONG error = keyFolder(key, folder, false);
    if (error != ERROR_SUCCESS) return error;
    std::vector<std::string> entries;
    error = listSubKeys(folder, entries);
    if (error == ERROR_KEY_DELETED && key == HKEY_CLASSES_ROOT) return ERROR_NO_MORE_ITEMS;
    if (error != ERROR_SUCCESS) return error;
    std::vector<std::wstring> names;
    names.reserve(entries.size());
    for (const std::string& entry : entries) names.push_back(fromUtf8(decodeName(entry)));
    std::sort(names.begin(), names.end());
    if (index >= names.size()) return ERROR_NO_MORE_ITEMS;
    const std::wstring& found = names[index];
    if (*nameChars <= found.size()) return ERROR_MORE_DATA;
    wmemcpy(name, found.c_str(), found.size() + 1);
    *nameChars = static_cast<DWORD>(found.size());
    if (keyClass && classChars && *classChars > 0) keyClass[0] = L'\0';
    if (classChars) *classChars = 0;
    return ERROR_SUCCESS;
}

LONG RegDeleteKeyW(HKEY key, LPCWSTR subKey) {
    std::vector<std::string> names;
    LONG error = splitSubKey(subKey, names);
    if (error != ERROR_SUCCESS) return error;
    if (names.empty() && key == HKEY_CLASSES_ROOT) return ERROR_ACCESS_DENIED;
    std::string folder;
    error = keyFolder(key, folder, false);
    if (error != ERROR_SUCCESS) return error;
    for (const std::string& name : names) folder += "/" + name;
    if (!isFolder(folder)) return ERROR_FILE_NOT_FOUND;

    std::vector<std::string> subKeys;
    error = listSubKeys(folder, subKeys);
    if (error != ERROR_SUCCESS) return error;
    if (!subKeys.empty()) return ERROR_ACCESS_DENIED;
    // The key's values go with it.
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir))
            if (entry->d_name[0] == '=' || strncmp(entry->d_name, kTempPrefix, sizeof kTempPrefix - 1) == 0)
                unlink((folder + "/" + entry->d_name).c_str());
        closedir(dir);
    }
    if (rmdir(folder.c_str()) != 0)
        return errno == ENOTEMPTY || errno == EEXIST ? ERROR_ACCESS_DENIED : errorFromErrno(errno);
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
    if (key == HKEY_CLASSES_ROOT) return ERROR_SUCCESS;
    uintptr_t bits = reinterpret_cast<uintptr_t>(key);
    if (!key || (bits & ~uintptr_t(0xFF)) == 0x80000000u || key->magic != kKeyMagic)
        return ERROR_INVALID_HANDLE;
    key->magic = 0;
    delete key;
    return ERROR_SUCCESS;
}

} // extern "C"
