# What `cmake --install` puts under the prefix, and the Debian packages made
# from it (cmake/ZuPackage.cmake):
#
#   include/ZuInterplayAccess/          the public headers and ZuVersion.h
#   lib/libZuInterplayAccess.so.1       the component (loaded, never linked)
#   lib/libKoPlatform.so.1.0.0, lib/libKoDebug.so.1.0.0 (and SONAME links)
#   bin/interplay-cli, bin/assets-sim   RUNPATH $ORIGIN/../lib
#   share/doc/zuinterplayaccess/        LICENSE, README.md
#   lib/cmake/ZuInterplayAccess/        find_package(ZuInterplayAccess CONFIG)
#   lib/pkgconfig/zuinterplayaccess.pc  pkg-config zuinterplayaccess
#
# Two install components: Runtime (the libraries without their development
# links, the programs, the licence) and Development (headers, development
# links, package files). Test builds (libKoDebugTesting, ZU_TEST_SEAMS) are not
# installed.
include(CMakePackageConfigHelpers)

set(ZU_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/ZuInterplayAccess)
file(RELATIVE_PATH _zu_bin_to_lib /${CMAKE_INSTALL_BINDIR} /${CMAKE_INSTALL_LIBDIR})
set_target_properties(interplay-cli assets-sim PROPERTIES INSTALL_RPATH "$ORIGIN/${_zu_bin_to_lib}")
set_target_properties(ZuInterplayAccess KoDebug PROPERTIES INSTALL_RPATH "$ORIGIN")
set_target_properties(KoPlatform PROPERTIES EXPORT_NAME KoPlatform)

# The headers on their own, for a host that calls no Ko extension.
add_library(ZuInterplayAccessHeaders INTERFACE)
set_target_properties(ZuInterplayAccessHeaders PROPERTIES EXPORT_NAME Headers)
target_include_directories(ZuInterplayAccessHeaders
                           INTERFACE $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/ZuInterplayAccess>)

install(TARGETS KoPlatform ZuInterplayAccessHeaders EXPORT ZuInterplayAccessTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Runtime NAMELINK_COMPONENT Development)
install(TARGETS KoDebug LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Runtime NAMELINK_SKIP)
install(TARGETS ZuInterplayAccess LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Runtime NAMELINK_SKIP)
install(TARGETS interplay-cli assets-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime)

file(GLOB _zu_public_headers ${PROJECT_SOURCE_DIR}/include/*.h)
install(FILES ${_zu_public_headers} ${PROJECT_BINARY_DIR}/generated/ZuVersion.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/ZuInterplayAccess COMPONENT Development)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/README.md
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/zuinterplayaccess COMPONENT Runtime)

# The CMake package: the imported targets, the version, and where the
# component is (ZuInterplayAccess_MODULE).
set(ZU_MODULE_FILE $<TARGET_SONAME_FILE_NAME:ZuInterplayAccess>)
install(EXPORT ZuInterplayAccessTargets NAMESPACE ZuInterplayAccess:: DESTINATION ${ZU_PACKAGE_DIR}
        COMPONENT Development)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/ZuInterplayAccessConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/package/ZuInterplayAccessConfig.cmake.in
                              INSTALL_DESTINATION ${ZU_PACKAGE_DIR} PATH_VARS CMAKE_INSTALL_LIBDIR)
file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/package/ZuInterplayAccessConfig.cmake
     INPUT ${PROJECT_BINARY_DIR}/package/ZuInterplayAccessConfig.cmake.in)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/package/ZuInterplayAccessConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/package/ZuInterplayAccessConfig.cmake
              ${PROJECT_BINARY_DIR}/package/ZuInterplayAccessConfigVersion.cmake
        DESTINATION ${ZU_PACKAGE_DIR} COMPONENT Development)

# The pkg-config file, relocatable: its prefix is found from its own folder.
file(RELATIVE_PATH _zu_pc_to_prefix /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" _zu_pc_to_prefix "${_zu_pc_to_prefix}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/zuinterplayaccess.pc.in ${PROJECT_BINARY_DIR}/package/zuinterplayaccess.pc.in
               @ONLY)
file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/package/zuinterplayaccess.pc
     INPUT ${PROJECT_BINARY_DIR}/package/zuinterplayaccess.pc.in)
install(FILES ${PROJECT_BINARY_DIR}/package/zuinterplayaccess.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
        COMPONENT Development)

include(ZuPackage)
