// The host's configuration file: named server profiles in TOML.
//
//   default_profile = "main"
//   [profiles.main]
//   url = "https://assets.example/services/Assets"
//   user = "editor"
//   code_page = 936
//   timeout = 60            # seconds
//   ca_file = "/etc/ssl/our-ca.pem"
//   insecure = false
//   password_file = "~/.config/interplay-cli/main.password"
#ifndef INTERPLAY_CLI_CONFIG_FILE_H
#define INTERPLAY_CLI_CONFIG_FILE_H

#include <map>
#include <optional>
#include <string>

// What one profile sets; anything it leaves out is unset.
struct Profile {
    std::optional<std::string> url, user, caFile, passwordFile;
    std::optional<unsigned> codePage;
    std::optional<double> timeoutSeconds;
    std::optional<bool> insecure;
};

class ConfigFile {
public:
    // <the account's settings folder>/interplay-cli/config.toml; empty when
    // there is no such folder.
    static std::string DefaultPath();

    // Reads the file. A missing file is no error unless mustExist; false with
    // a reason for an unreadable or malformed one.
    bool Load(const std::string& path, bool mustExist, std::string* error);
    bool Loaded() const { return m_loaded; }
    const std::string& Path() const { return m_path; }
    // The profile name, or default_profile when name is empty; empty when
    // neither names one.
    std::string Choose(const std::string& name) const;
    // The profile of that name; false when the file has none.
    bool Find(const std::string& name, Profile* out) const;

private:
    std::string m_path;
    bool m_loaded = false;
    std::string m_defaultProfile;
    std::map<std::string, Profile> m_profiles;
};

#endif // INTERPLAY_CLI_CONFIG_FILE_H
