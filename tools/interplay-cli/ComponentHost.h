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

    // Loads the library and creates the access object; false with a reason.
    bool Load(const std::string& libraryPath, std::string* error);
    IZuInterplayAccess* Access() const { return m_access; }

    // Where the library is looked for when no path is given: next to this
    // program's own folder (../lib), then the loader's search path.
    static std::string DefaultLibraryPath();

private:
    void* m_library = nullptr;
    IZuInterplayAccess* m_access = nullptr;
};

#endif // INTERPLAY_CLI_COMPONENT_HOST_H
