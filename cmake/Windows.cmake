# The Windows build, cross-built with cmake/toolchain-mingw64.cmake (see
# scripts/build-windows): ZuInterplayAccess.dll, KoDebug.dll,
# interplay-cli.exe, and the portable test suites run under Wine
# (cmake/WindowsTests.cmake). Included by the top-level CMakeLists.txt in
# place of the Linux part.

# Version resources (cmake/ZuVersion.rc.in), compiled by the toolchain's windres.
enable_language(RC)

# Header-only libraries come from the build machine: only their own folders
# are put on the include path (never the machine's /usr/include).
set(_zu_host_headers ${PROJECT_BINARY_DIR}/host-headers)
file(MAKE_DIRECTORY ${_zu_host_headers})
foreach(dir CLI nlohmann toml++)
  if(NOT EXISTS /usr/include/${dir})
    message(FATAL_ERROR "/usr/include/${dir} is missing: run scripts/setup-deps")
  endif()
  file(CREATE_LINK /usr/include/${dir} ${_zu_host_headers}/${dir} SYMBOLIC)
endforeach()
add_library(CLI11::CLI11 INTERFACE IMPORTED)
target_include_directories(CLI11::CLI11 SYSTEM INTERFACE ${_zu_host_headers})
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE ${_zu_host_headers})
# toml++ compiled into its user (Debian's shared library is a Linux one).
add_library(tomlplusplus::tomlplusplus INTERFACE IMPORTED)
target_include_directories(tomlplusplus::tomlplusplus SYSTEM INTERFACE ${_zu_host_headers})
target_compile_definitions(tomlplusplus::tomlplusplus INTERFACE TOML_HEADER_ONLY=1)

# GoogleTest from the source Debian ships with libgtest-dev.
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
# (its project defines the GTest:: names itself)

find_package(Threads REQUIRED)

# Programs, DLLs and the C++ runtime's DLLs together in bin/, where Windows
# finds them; DLLs named as on Windows (ZuInterplayAccess.dll, KoDebug.dll).
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)
set(CMAKE_SHARED_LIBRARY_PREFIX "")
# The generated code carries another compiler's pragmas.
add_compile_options(-Wno-unknown-pragmas)
# localtime_r and the other thread-safe POSIX functions of the C runtime;
# 64-bit file offsets (off_t, fseeko, ftello) as on Linux.
add_compile_definitions(_WIN32_WINNT=0x0601 WINVER=0x0601 WIN32_LEAN_AND_MEAN _POSIX_THREAD_SAFE_FUNCTIONS
                        _FILE_OFFSET_BITS=64)

# The C++ runtime is shared with hosts (slots 30 and 31 pass std::string), so
# it stays a set of DLLs that go along with ours.
set(ZU_WINDOWS_RUNTIME_DLLS)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
    message(FATAL_ERROR "The C++ runtime's ${dll} was not found")
  endif()
  file(COPY ${path} DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
  list(APPEND ZU_WINDOWS_RUNTIME_DLLS ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${dll})
endforeach()

# soapcpp2 runs on the build machine, with its own import folder.
set(ZU_GSOAP_IMPORT_DIR /usr/share/gsoap/import CACHE PATH "soapcpp2's import folder")

add_subdirectory(src/platform)
add_subdirectory(kodebug)
add_subdirectory(src)

# The component's exports come from its module-definition file (the entry
# points) and the framework classes' own export attribute; the Linux symbol
# map does not apply.
set_property(TARGET ZuInterplayAccess PROPERTY LINK_OPTIONS -Wl,--no-undefined)
set_property(TARGET ZuInterplayAccess PROPERTY LINK_DEPENDS ${PROJECT_SOURCE_DIR}/src/ZuInterplayAccess.def)
target_sources(ZuInterplayAccess PRIVATE ${PROJECT_SOURCE_DIR}/src/ZuInterplayAccess.def)

# The command-line host with the simulator it embeds; the simulator's own
# program waits for POSIX signals and stays a Linux program.
add_subdirectory(tools)
set_target_properties(assets-sim PROPERTIES EXCLUDE_FROM_ALL ON)

# The project's version in the version resources of the DLLs and the program.
function(zu_version_resource target description)
  get_target_property(type ${target} TYPE)
  set(ZU_RC_NAME ${target})
  set(ZU_RC_DESCRIPTION "${description}")
  if(type STREQUAL "EXECUTABLE")
    set(ZU_RC_FILE ${target}.exe)
    set(ZU_RC_FILE_TYPE VFT_APP)
  else()
    set(ZU_RC_FILE ${target}.dll)
    set(ZU_RC_FILE_TYPE VFT_DLL)
  endif()
  configure_file(${CMAKE_CURRENT_LIST_DIR}/ZuVersion.rc.in ${PROJECT_BINARY_DIR}/version/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${PROJECT_BINARY_DIR}/version/${target}.rc)
endfunction()
zu_version_resource(ZuInterplayAccess "Interplay access component")
zu_version_resource(KoDebug "Diagnostics library")
zu_version_resource(interplay-cli "Command-line host of the interplay access component")

# GetChildren through the DLL as a host loads it (bench/HostBrowseBench.cpp).
add_executable(HostBrowseBench ${PROJECT_SOURCE_DIR}/bench/HostBrowseBench.cpp)
target_link_libraries(HostBrowseBench PRIVATE InterplayHost)

enable_testing()
include(${CMAKE_CURRENT_LIST_DIR}/WindowsTests.cmake)
