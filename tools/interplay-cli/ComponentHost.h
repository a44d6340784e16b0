// Creates the component's access object the way the editing system does: by
// its CLSID when the class is registered, else by loading the library and
// going through DllGetClassObject and the class factory.
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
    // Creates the access object by its CLSID (KoCoCreateInstance) when the
    // class is registered, else loads DefaultLibraryPath(); false with a
    // reason.
    bool Create(std::string* error);
    IZuInterplayAccess* Access() const { return m_access; }

    // Registers the library's classes (DllRegisterServer), or removes them
    // (DllUnregisterServer); false with a reason.
    static bool Register(const std::string& libraryPath, bool install, std::string* error);

    // Where the library is looked for when no path is given: where the build
    // puts it beside this program (../lib on Linux, the same folder on
    // Windows), then the loader's search path. UTF-8.
    static std::string DefaultLibraryPath();

private:
    void* m_library = nullptr;
    IZuInterplayAccess* m_access = nullptr;
};

#endif // INTERPLAY_CLI_COMPONENT_HOST_H
