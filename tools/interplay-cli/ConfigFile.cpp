#include "ConfigFile.h"

#include <filesystem>
#include <system_error>

#include "KoConsole.h"

#include <toml++/toml.h>

namespace {

// "~/" at the start of a path stands for the home folder.
std::string ExpandHome(const std::string& path) {
    if (path.rfind("~/", 0) != 0) return path;
    const char* home = getenv("HOME");
    return home && *home ? std::string(home) + path.substr(1) : path;
}

// A wrong type is an error, not an absent value: the user wrote something.
template <class T>
bool Read(const toml::table& table, const char* key, std::optional<T>* out, std::string* error) {
    const toml::node* node = table.get(key);
    if (!node) return true;
    std::optional<T> value = node->value<T>();
    if (!value) {
        *error = std::string("\"") + key + "\" has the wrong type";
        return false;
    }
    *out = value;
    return true;
}

} // namespace

std::string ConfigFile::DefaultPath() {
    std::string folder = KoUserConfigFolder();
    if (folder.empty()) return folder;
    return (std::filesystem::u8path(folder) / "interplay-cli" / "config.toml").u8string();
}

bool ConfigFile::Load(const std::string& path, bool mustExist, std::string* error) {
    m_path = path;
    m_loaded = false;
    m_profiles.clear();
    std::error_code ec;
    if (path.empty() || !std::filesystem::exists(std::filesystem::u8path(path), ec)) {
        if (mustExist) *error = "the configuration file " + path + " does not exist";
        return !mustExist;
    }
    toml::table root;
    try {
        root = toml::parse_file(path);
    } catch (const toml::parse_error& e) {
        *error = "cannot read the configuration file " + path + ": " + std::string(e.description()) +
                 " (line " + std::to_string(e.source().begin.line) + ")";
        return false;
    }
    if (const toml::node* node = root.get("default_profile")) {
        if (!node->is_string()) {
            *error = path + ": \"default_profile\" must be a string";
            return false;
        }
        m_defaultProfile = node->value_or(std::string());
    }
    if (const toml::table* profiles = root["profiles"].as_table()) {
        for (const auto& [name, node] : *profiles) {
            const toml::table* table = node.as_table();
            std::string where = path + ": [profiles." + std::string(name.str()) + "]";
            if (!table) {
                *error = where + " is not a table";
                return false;
            }
            Profile profile;
            std::optional<int64_t> codePage;
            std::optional<double> timeout;
            std::string why;
            if (!Read(*table, "url", &profile.url, &why) || !Read(*table, "user", &profile.user, &why) ||
                !Read(*table, "ca_file", &profile.caFile, &why) ||
                !Read(*table, "password_file", &profile.passwordFile, &why) ||
                !Read(*table, "insecure", &profile.insecure, &why) ||
                !Read(*table, "code_page", &codePage, &why) || !Read(*table, "timeout", &timeout, &why)) {
                *error = where + ": " + why;
                return false;
            }
            if (codePage) {
                if (*codePage <= 0 || *codePage > 65535) {
                    *error = where + ": \"code_page\" is out of range";
                    return false;
                }
                profile.codePage = static_cast<unsigned>(*codePage);
            }
            if (timeout) {
                if (*timeout < 0) {
                    *error = where + ": \"timeout\" must not be negative";
                    return false;
                }
                profile.timeoutSeconds = timeout;
            }
            if (profile.caFile) profile.caFile = ExpandHome(*profile.caFile);
            if (profile.passwordFile) profile.passwordFile = ExpandHome(*profile.passwordFile);
            m_profiles[std::string(name.str())] = profile;
        }
    }
    m_loaded = true;
    return true;
}

std::string ConfigFile::Choose(const std::string& name) const {
    return name.empty() ? m_defaultProfile : name;
}

bool ConfigFile::Find(const std::string& name, Profile* out) const {
    auto found = m_profiles.find(name);
    if (found == m_profiles.end()) return false;
    *out = found->second;
    return true;
}
