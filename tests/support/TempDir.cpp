#include "TempDir.h"

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "zu-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(m_path, ec);
}

std::string TempDir::file(const std::string& name) const { return m_path + "/" + name; }

void TempDir::write(const std::string& name, const std::string& bytes) const {
    fs::path p = file(name);
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + p.string());
}

std::string TempDir::read(const std::string& name) const {
    std::ifstream in(file(name), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool TempDir::exists(const std::string& name) const { return fs::exists(file(name)); }

static void saveEnv(const char* name, std::string& value, bool& had) {
    const char* v = getenv(name);
    had = v != nullptr;
    if (had) value = v;
}

static void restoreEnv(const char* name, const std::string& value, bool had) {
    if (had)
        setenv(name, value.c_str(), 1);
    else
        unsetenv(name);
}

ScopedKoRoots::ScopedKoRoots() {
    saveEnv("KO_DRIVE_ROOT", m_oldDrives, m_hadDrives);
    saveEnv("KO_REGISTRY_ROOT", m_oldRegistry, m_hadRegistry);
    setenv("KO_DRIVE_ROOT", m_drives.path().c_str(), 1);
    setenv("KO_REGISTRY_ROOT", m_registry.path().c_str(), 1);
}

ScopedKoRoots::~ScopedKoRoots() {
    restoreEnv("KO_DRIVE_ROOT", m_oldDrives, m_hadDrives);
    restoreEnv("KO_REGISTRY_ROOT", m_oldRegistry, m_hadRegistry);
}
