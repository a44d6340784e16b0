#include "KoLibrary.h"

#include <dlfcn.h>
#include <link.h>

#include <string>

#include "KoCodePage.h"

namespace {

// The loader's handle of a loaded module, with one more load; null if the
// handle names no loaded module.
void* loaderHandle(HMODULE module) {
    Dl_info info;
    if (!module || !dladdr(module, &info) || info.dli_fbase != module || !info.dli_fname) return nullptr;
    return dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_LOCAL);
}

} // namespace

extern "C" {

HMODULE LoadLibraryA(LPCSTR path) {
    if (!path || !*path) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    void* handle = dlopen(KoAnsiToUtf8(path).c_str(), RTLD_NOW | RTLD_LOCAL);
    link_map* map = nullptr;
    Dl_info info;
    if (!handle || dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || !map || !dladdr(map->l_ld, &info)) {
        if (handle) dlclose(handle);
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return info.dli_fbase;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
    void* handle = loaderHandle(module);
    void* address = handle && name ? dlsym(handle, name) : nullptr;
    if (handle) dlclose(handle);
    if (!address) SetLastError(ERROR_PROC_NOT_FOUND);
    return reinterpret_cast<FARPROC>(address);
}

BOOL FreeLibrary(HMODULE module) {
    void* handle = loaderHandle(module);
    if (!handle) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    dlclose(handle);
    dlclose(handle);
    return TRUE;
}

} // extern "C"
