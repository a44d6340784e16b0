// A temporary folder for one test, removed with everything in it at the end.
#ifndef ZU_TEST_TEMP_DIR_H
#define ZU_TEST_TEMP_DIR_H

#include <string>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    // path() + "/" + name
    std::string file(const std::string& name) const;
    // Writes bytes to path()/name, creating folders on the way.
    void write(const std::string& name, const std::string& bytes) const;
    // The bytes of path()/name; empty if it does not exist.
    std::string read(const std::string& name) const;
    bool exists(const std::string& name) const;

private:
    std::string m_path;
};

// Points $KO_DRIVE_ROOT and $KO_REGISTRY_ROOT at fresh temporary folders for
// the lifetime of the object, and restores them afterwards.
class ScopedKoRoots {
public:
    ScopedKoRoots();
    ~ScopedKoRoots();
    const TempDir& drives() const { return m_drives; }
    const TempDir& registry() const { return m_registry; }

private:
    TempDir m_drives;
    TempDir m_registry;
    std::string m_oldDrives, m_oldRegistry;
    bool m_hadDrives, m_hadRegistry;
};

#endif // ZU_TEST_TEMP_DIR_H
