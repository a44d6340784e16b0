#include "KoModule.h"

#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <sys/auxv.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "KoCodePage.h"

namespace {

bool ReadLink(const char* link, std::string& target) {
    char buffer[PATH_MAX];
    ssize_t n = readlink(link, buffer, sizeof buffer);
    if (n <= 0 || static_cast<size_t>(n) >= sizeof buffer) return false;
    target.assign(buffer, static_cast<size_t>(n));
    return true;
}

// The full path of the executable or shared object whose base is module.
bool ModulePath(HMODULE module, std::string& path) {
    if (!module) return ReadLink("/proc/self/exe", path);
    Dl_info info;
    if (!dladdr(module, &info) || info.dli_fbase != module) return false;
    Dl_info mainInfo;
    const void* mainHeaders = reinterpret_cast<const void*>(getauxval(AT_PHDR));
    if (mainHeaders && dladdr(mainHeaders, &mainInfo) && mainInfo.dli_fbase == module)
        return ReadLink("/proc/self/exe", path);
    if (!info.dli_fname || !*info.dli_fname) return false;
    std::unique_ptr<char, decltype(&free)> real(realpath(info.dli_fname, nullptr), &free);
    if (!real) return false;
    path = real.get();
    return true;
}

} // namespace

extern "C" {

HMODULE KoGetModuleHandleFromAddress(const void* address) {
    Dl_info info;
    if (!address || !dladdr(address, &info)) return nullptr;
    return info.dli_fbase;
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size) {
    if (!buffer && size > 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string path;
    if (!ModulePath(module, path)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    std::string ansi = KoUtf8ToAnsi(path.data(), path.size());
    if (ansi.size() < size) {
        memcpy(buffer, ansi.data(), ansi.size());
        buffer[ansi.size()] = '\0';
        return static_cast<DWORD>(ansi.size());
    }
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    if (size == 0) return 0;
    size_t cut = KoWholeCharPrefix(CP_THREAD_ACP, ansi.data(), ansi.size(), size - 1);
    memcpy(buffer, ansi.data(), cut);
    buffer[cut] = '\0';
    return size;
}

BOOL DisableThreadLibraryCalls(HMODULE) { return TRUE; }

} // extern "C"
