#include "CZuLocalFileCache.h"

#include <errno.h>
#include <stdio.h>

#include <atomic>
#include <chrono>

#include "KoWindows.h"

namespace {

// Local files are named after the asset's narrowed URI without this many
// leading bytes.
const size_t kURIPrefixBytes = 32;

// The Win32 error of the C runtime's last failure; never ERROR_SUCCESS.
DWORD RuntimeError() {
    DWORD error = KoWin32ErrorFromErrno(errno);
    return error ? error : ERROR_GEN_FAILURE;
}

// The last error of a failed platform call; never ERROR_SUCCESS.
DWORD LastError() { return GetLastError() ? GetLastError() : ERROR_GEN_FAILURE; }

// Bytes of the first character of text[0, bytes) in the thread's code page
// (a byte that starts no valid character is one of its own).
size_t FirstCharacterBytes(const char* text, size_t bytes) {
    for (size_t length = 1; length < bytes; ++length)
        if (KoWholeCharPrefix(CP_THREAD_ACP, text, bytes, length) != 0) return length;
    return bytes;
}

bool CannotStandInAFileName(unsigned char c) {
    switch (c) {
    case '\\':
    case '/':
    case ':':
    case '*':
    case '?':
    case '"':
    case '<':
    case '>':
    case '|':
        return true;
    default:
        return c < 0x20;
    }
}

// A name for a file being written, unique within the process and unlikely to
// be taken by another.
std::string TemporaryName() {
    static std::atomic<unsigned> counter{0};
    unsigned long long stamp =
        static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    char name[64];
    snprintf(name, sizeof name, "~zu%llx-%x.tmp", stamp, counter.fetch_add(1));
    return name;
}

} // namespace

std::string CZuLocalFileCache::FileName(const std::string& narrowURI, const char* extension) {
    std::string name = narrowURI.size() > kURIPrefixBytes ? narrowURI.substr(kURIPrefixBytes) : std::string();
    for (size_t i = 0; i < name.size();) {
        size_t length = FirstCharacterBytes(name.data() + i, name.size() - i);
        if (length == 1 && CannotStandInAFileName(static_cast<unsigned char>(name[i]))) name[i] = '_';
        i += length;
    }
    return name + extension;
}

DWORD CZuLocalFileCache::Write(const std::string& folder, const std::string& name, const unsigned char* bytes,
                               size_t size) {
    std::string temporary;
    FILE* file = nullptr;
    for (int attempt = 0; attempt < 8 && !file; ++attempt) {
        temporary = folder + TemporaryName();
        file = KoOpenFileA(temporary.c_str(), "wbx");
        if (!file && GetLastError() != ERROR_FILE_EXISTS) return LastError();
    }
    if (!file) return ERROR_FILE_EXISTS;
    DWORD error = ERROR_SUCCESS;
    if (size && fwrite(bytes, 1, size, file) != size) error = RuntimeError();
    if (fclose(file) != 0 && error == ERROR_SUCCESS) error = RuntimeError();
    if (error == ERROR_SUCCESS &&
        !MoveFileExA(temporary.c_str(), (folder + name).c_str(), MOVEFILE_REPLACE_EXISTING))
        error = LastError();
    if (error != ERROR_SUCCESS) DeleteFileA(temporary.c_str());
    return error;
}
