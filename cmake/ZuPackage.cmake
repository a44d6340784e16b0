# The Debian packages, made by CPack from the install components
# (scripts/package): zuinterplayaccess (Runtime) and zuinterplayaccess-dev
# (Development, which depends on the same version of the runtime). The
# dependencies on the system's libraries come from dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME zuinterplayaccess)
set(CPACK_PACKAGE_VENDOR "ZuInterplayAccess developers")
set(CPACK_PACKAGE_CONTACT "ZuInterplayAccess developers <zuinterplayaccess@example.invalid>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_GENERATOR DEB)
set(CPACK_COMPONENTS_ALL Runtime Development)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The package's own libraries, which its programs and the component need.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/lib)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME zuinterplayaccess)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_GENERATE_SHLIBS ON)
# Descriptions: the summary line, then the text (CPack indents it).
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION
    "In-process COM component for an asset-management server's Assets web service
The interplay access component (libZuInterplayAccess), the platform and
diagnostics libraries it shares with its hosts (libKoPlatform, libKoDebug),
the command-line host interplay-cli and the Assets service simulator
assets-sim.")
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME zuinterplayaccess-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "zuinterplayaccess (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION
    "Development files for hosts of the interplay access component
The public headers, the CMake package (find_package(ZuInterplayAccess)) and
the pkg-config file (zuinterplayaccess) for hosts that create the interplay
access component and call the platform library's extensions.")
include(CPack)
