#include "KoDataFolder.h"

#include <pwd.h>
#include <stdlib.h>
#include <unistd.h>

#include <vector>

namespace {

std::string homeFolder() {
    const char* home = getenv("HOME");
    if (home && *home) return home;
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    passwd entry;
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found || !found->pw_dir)
        return std::string();
    return found->pw_dir;
}

} // namespace

std::string KoDataFolder(const char* envVar, const char* homeRelative) {
    std::string folder;
    const char* value = getenv(envVar);
    if (value && *value) {
        folder = value;
    } else {
        folder = homeFolder();
        if (folder.empty()) return folder;
        if (folder.back() != '/') folder += '/';
        folder += homeRelative;
    }
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}
