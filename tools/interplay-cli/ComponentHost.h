// Loads the component's library and creates its access object the way the
// editing system does: DllGetClassObject, then the class factory.
#ifndef INTERPLAY_CLI_COMPONENT_HOST_H
#define INTERPLAY_CLI_COMPONENT_HOST_H

#include <string>

#include "ZuInterplayAccess.h"

class ComponentHost {
public:
    ComponentHost() = default;
    // Releases the access object and unloads the library when it may go.
    ~ComponentHost();
    ComponentHost(const ComponentHost&) = delete;
    ComponentHost& operator=(const ComponentHost&) = delete;

    // Loads the library (its path in UTF-8) and creates the access object;
    // false with a reason.
    bool Load(const std::string& libraryPath, std::string* error);
    IZuInterplayAccess* Access() const { return m_access; }

    // Where the library is looked for when no path is given: where the build
    // puts it beside this program (../lib on Linux, the same folder on
    // Windows), then the loader's search path. UTF-8.
    static std::string DefaultLibraryPath();

private:
    void* m_library = nullptr;
    IZuInterplayAccess* m_access = nullptr;
};

#endif // INTERPLAY_CLI_COMPONENT_HOST_H
