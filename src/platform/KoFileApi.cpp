#include "KoFileApi.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <new>
#include <vector>

#include "KoCodePage.h"
#include "KoDataFolder.h"

namespace {

// What a HANDLE from CreateFileA points to.
struct KoFileHandle {
    uint32_t magic;
    int fd;
};
const uint32_t kFileHandleMagic = 0x4B6F4648; // "KoFH"

bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// "a/./b/../c" -> "a/c"; ".." at the top stays at the top, as on a drive root.
std::string resolveDots(const std::string& path) {
    std::vector<std::string> names;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        std::string name = path.substr(start, end - start);
        if (name == "..") {
            if (!names.empty()) names.pop_back();
        } else if (!name.empty() && name != ".") {
            names.push_back(name);
        }
        start = end + 1;
    }
    std::string out;
    for (const std::string& name : names) out += "/" + name;
    if (!names.empty() && !path.empty() && path.back() == '/') out += '/';
    return out;
}

// The Win32 error for a failed open of a local path.
DWORD openError(int error, const std::string& local) {
    if (error == ENOENT) {
        // Windows tells a missing file from a missing folder on the way.
        size_t slash = local.rfind('/');
        std::string parent = slash == std::string::npos ? "." : local.substr(0, slash + 1);
        struct stat st;
        if (stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return ERROR_FILE_NOT_FOUND;
        return ERROR_PATH_NOT_FOUND;
    }
    if (error == ENOTDIR) return ERROR_PATH_NOT_FOUND;
    return KoWin32ErrorFromErrno(error);
}

HANDLE invalidHandle(DWORD error) {
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

} // namespace

std::string KoMapWindowsPath(const char* path) {
    if (!path) return std::string();
    // Converted before '\' is replaced: in double-byte text a trail byte may be 0x5C.
    std::string text = KoAnsiToUtf8(path);
    for (char& c : text)
        if (c == '\\') c = '/';
    if (text.size() < 2 || !isAsciiLetter(text[0]) || text[1] != ':') return text;
    char drive = static_cast<char>(text[0] | 0x20);
    std::string local = KoDataFolder("KO_DRIVE_ROOT", ".local/share/ko/drives");
    if (local != "/") local += '/';
    local += drive;
    return local + resolveDots(text.substr(2));
}

extern "C" {

HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD /*shareMode*/, void* /*security*/, DWORD creation,
                   DWORD /*flags*/, HANDLE /*templateFile*/) {
    if (!path) return invalidHandle(ERROR_INVALID_PARAMETER);
    if (!*path) return invalidHandle(ERROR_PATH_NOT_FOUND);
    bool reading = (access & GENERIC_READ) != 0;
    bool writing = (access & GENERIC_WRITE) != 0;
    int mode = O_CLOEXEC | (reading && writing ? O_RDWR : writing ? O_WRONLY : O_RDONLY);
    switch (creation) {
    case CREATE_NEW:
        mode |= O_CREAT | O_EXCL;
        break;
    case CREATE_ALWAYS:
        mode |= O_CREAT | O_TRUNC;
        break;
    case OPEN_EXISTING:
        break;
    case OPEN_ALWAYS:
        mode |= O_CREAT;
        break;
    case TRUNCATE_EXISTING:
        if (!writing) return invalidHandle(ERROR_INVALID_PARAMETER);
        mode |= O_TRUNC;
        break;
    default:
        return invalidHandle(ERROR_INVALID_PARAMETER);
    }
    std::string local = KoMapWindowsPath(path);

    int fd = -1;
    bool existed = false;
    if (mode & O_CREAT && !(mode & O_EXCL)) {
        // Create it if it is new, else open it; tells the caller which happened.
        for (int attempt = 0; attempt < 4 && fd < 0; ++attempt) {
            fd = open(local.c_str(), mode | O_EXCL, 0666);
            if (fd >= 0 || errno != EEXIST) break;
            fd = open(local.c_str(), mode & ~O_CREAT);
            existed = fd >= 0;
            if (fd < 0 && errno != ENOENT) break;
        }
    } else {
        fd = open(local.c_str(), mode, 0666);
    }
    if (fd < 0) return invalidHandle(openError(errno, local));

    struct stat st;
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        close(fd);
        return invalidHandle(ERROR_ACCESS_DENIED);
    }
    KoFileHandle* handle = new (std::nothrow) KoFileHandle{kFileHandleMagic, fd};
    if (!handle) {
        close(fd);
        return invalidHandle(ERROR_NOT_ENOUGH_MEMORY);
    }
    SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

BOOL CloseHandle(HANDLE handle) {
    KoFileHandle* file = static_cast<KoFileHandle*>(handle);
    if (!handle || handle == INVALID_HANDLE_VALUE || file->magic != kFileHandleMagic) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    file->magic = 0;
    int result = close(file->fd);
    delete file;
    if (result != 0 && errno != EINTR) {
        SetLastError(KoWin32ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}

FILE* KoOpenFileA(LPCSTR path, LPCSTR mode) {
    if (!path || !mode || !*mode) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::string local = KoMapWindowsPath(path);
    std::string localMode = mode;
    if (localMode.find('e') == std::string::npos) localMode += 'e'; // close on exec
    FILE* file = fopen(local.c_str(), localMode.c_str());
    if (!file) {
        SetLastError(openError(errno, local));
        return nullptr;
    }
    // As on Windows, a folder does not open as a file.
    struct stat st;
    if (fstat(fileno(file), &st) == 0 && S_ISDIR(st.st_mode)) {
        fclose(file);
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return file;
}

BOOL MoveFileExA(LPCSTR existingPath, LPCSTR newPath, DWORD flags) {
    if (!existingPath || !newPath || !*existingPath || !*newPath) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string from = KoMapWindowsPath(existingPath);
    std::string to = KoMapWindowsPath(newPath);
    struct stat st;
    if (stat(from.c_str(), &st) != 0) {
        SetLastError(openError(errno, from));
        return FALSE;
    }
    int result = (flags & MOVEFILE_REPLACE_EXISTING)
                     ? rename(from.c_str(), to.c_str())
                     : renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
    if (result != 0) {
        int error = errno;
        SetLastError(error == EEXIST ? ERROR_ALREADY_EXISTS : openError(error, to));
        return FALSE;
    }
    return TRUE;
}

BOOL DeleteFileA(LPCSTR path) {
    if (!path || !*path) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string local = KoMapWindowsPath(path);
    if (unlink(local.c_str()) != 0) {
        int error = errno;
        SetLastError(error == EISDIR ? ERROR_ACCESS_DENIED : openError(error, local));
        return FALSE;
    }
    return TRUE;
}

} // extern "C"
