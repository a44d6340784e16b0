#include "ComponentHost.h"

#include <dlfcn.h>
#include <limits.h>
#include <stdio.h>
#include <unistd.h>

#include <filesystem>

namespace {
const char kLibraryName[] = "libZuInterplayAccess.so";

std::string Hex(HRESULT hr) {
    char text[16];
    snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
    return text;
}
} // namespace

ComponentHost::~ComponentHost() {
    if (m_access) m_access->Release();
    if (m_library) {
        auto canUnload = reinterpret_cast<PFN_DllCanUnloadNow>(dlsym(m_library, "DllCanUnloadNow"));
        // Objects the host still holds keep the library loaded.
        if (!canUnload || canUnload() == S_OK) dlclose(m_library);
    }
}

std::string ComponentHost::DefaultLibraryPath() {
    char self[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n > 0) {
        self[n] = '\0';
        std::filesystem::path candidate =
            std::filesystem::path(self).parent_path().parent_path() / "lib" / kLibraryName;
        std::error_code ec;
        if (std::filesystem::exists(candidate, ec)) return candidate.string();
    }
    return kLibraryName;
}

bool ComponentHost::Load(const std::string& libraryPath, std::string* error) {
    m_library = dlopen(libraryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!m_library) {
        *error = std::string("cannot load the component: ") + dlerror();
        return false;
    }
    auto getClassObject = reinterpret_cast<PFN_DllGetClassObject>(dlsym(m_library, "DllGetClassObject"));
    if (!getClassObject) {
        *error = libraryPath + " has no DllGetClassObject";
        return false;
    }
    IClassFactory* factory = nullptr;
    HRESULT hr = getClassObject(CLSID_ZuInterplayAccess, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(hr)) {
        *error = "DllGetClassObject failed: " + Hex(hr);
        return false;
    }
    hr = factory->CreateInstance(nullptr, IID_IZuInterplayAccess, reinterpret_cast<void**>(&m_access));
    factory->Release();
    if (FAILED(hr)) {
        *error = "creating the access object failed: " + Hex(hr);
        m_access = nullptr;
        return false;
    }
    return true;
}
