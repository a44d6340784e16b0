# The SOAP runtime (stdsoap2.cpp), compiled from the source of Debian's gsoap
# package into whatever links it: the static library ZuGsoapRuntime, built
# position-independent with hidden visibility, so that nothing of the runtime
# is exported from the component and a host that loads other modules built on
# the same runtime never mixes theirs with ours. The runtime's hooks (header,
# fault, namespace table) bind at link time to the ones of the same module.
#
# scripts/fetch-gsoap-source fetches the source into .cache/gsoap/; another
# copy may be named with -DZU_GSOAP_SOURCE_DIR=<folder with stdsoap2.cpp>. Its
# version must be that of the installed headers, which soapcpp2 generates for.
#
# ZU_GSOAP_WITH_OPENSSL compiles the runtime with its TLS support (OpenSSL,
# Debian's libssl-dev): on by default on Linux; the Windows build has none and
# refuses https:// service URLs. ZU_HAVE_TLS tells the rest of the build.

set(ZU_GSOAP_SOURCE_DIR "" CACHE PATH "Folder with the SOAP runtime's source (stdsoap2.cpp, stdsoap2.h)")
if(WIN32)
  set(_zu_gsoap_tls_default OFF)
else()
  set(_zu_gsoap_tls_default ON)
endif()
option(ZU_GSOAP_WITH_OPENSSL "Compile the SOAP runtime with TLS (OpenSSL)" ${_zu_gsoap_tls_default})
set(ZU_HAVE_TLS ${ZU_GSOAP_WITH_OPENSSL})

if(NOT ZU_GSOAP_SOURCE_DIR)
  file(GLOB _zu_gsoap_candidates ${PROJECT_SOURCE_DIR}/.cache/gsoap/gsoap-*/gsoap/stdsoap2.cpp)
  list(SORT _zu_gsoap_candidates)
  list(LENGTH _zu_gsoap_candidates _zu_gsoap_count)
  if(_zu_gsoap_count EQUAL 0)
    message(FATAL_ERROR "The SOAP runtime's source is missing: run scripts/fetch-gsoap-source "
                        "(or scripts/setup-deps), or set ZU_GSOAP_SOURCE_DIR")
  endif()
  list(GET _zu_gsoap_candidates -1 _zu_gsoap_cpp)
  get_filename_component(_zu_gsoap_dir ${_zu_gsoap_cpp} DIRECTORY)
else()
  set(_zu_gsoap_dir ${ZU_GSOAP_SOURCE_DIR})
endif()

function(_zu_gsoap_version header result)
  file(STRINGS ${header} line REGEX "^#define GSOAP_VERSION [0-9]+")
  string(REGEX REPLACE "^#define GSOAP_VERSION ([0-9]+).*" "\\1" version "${line}")
  set(${result} "${version}" PARENT_SCOPE)
endfunction()

# The installed headers of the build machine (also when cross-building).
find_file(ZU_GSOAP_INSTALLED_HEADER stdsoap2.h PATHS /usr/include /usr/local/include
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
_zu_gsoap_version(${ZU_GSOAP_INSTALLED_HEADER} _zu_gsoap_installed)
_zu_gsoap_version(${_zu_gsoap_dir}/stdsoap2.h _zu_gsoap_source)
if(NOT _zu_gsoap_source STREQUAL _zu_gsoap_installed)
  message(FATAL_ERROR "The SOAP runtime's source in ${_zu_gsoap_dir} is version ${_zu_gsoap_source}, "
                      "the installed ${ZU_GSOAP_INSTALLED_HEADER} is ${_zu_gsoap_installed}: "
                      "remove .cache/gsoap and run scripts/fetch-gsoap-source again")
endif()

# A private copy: the include folder holds the runtime's header and nothing else.
set(_zu_gsoap_build ${PROJECT_BINARY_DIR}/gsoap-runtime)
configure_file(${_zu_gsoap_dir}/stdsoap2.h ${_zu_gsoap_build}/include/stdsoap2.h COPYONLY)
configure_file(${_zu_gsoap_dir}/stdsoap2.cpp ${_zu_gsoap_build}/stdsoap2.cpp COPYONLY)

add_library(ZuGsoapRuntime STATIC ${_zu_gsoap_build}/stdsoap2.cpp)
set_target_properties(ZuGsoapRuntime PROPERTIES
  POSITION_INDEPENDENT_CODE ON CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
target_include_directories(ZuGsoapRuntime SYSTEM BEFORE PUBLIC ${_zu_gsoap_build}/include)
# Definitions that fix the layout of the runtime's context: the same for the
# runtime and every unit that includes its header.
target_compile_definitions(ZuGsoapRuntime PUBLIC WITH_IPV6)
# Not our code to tidy.
target_compile_options(ZuGsoapRuntime PRIVATE -w)
if(ZU_GSOAP_WITH_OPENSSL)
  find_package(OpenSSL REQUIRED)
  target_compile_definitions(ZuGsoapRuntime PUBLIC WITH_OPENSSL)
  target_link_libraries(ZuGsoapRuntime PUBLIC OpenSSL::SSL OpenSSL::Crypto)
endif()
if(WIN32)
  target_link_libraries(ZuGsoapRuntime PUBLIC ws2_32)
endif()
# The runtime's test build, for the programs with test seams
# (cmake/ZuLayers.cmake): the same source, its malloc going through the hook of
# tests/support/RuntimeAllocationHook.h, so that a test can fail any block the
# runtime takes. Only the definitions differ; the source is the same.
if(NOT WIN32)
  add_library(ZuGsoapRuntimeTesting STATIC ${_zu_gsoap_build}/stdsoap2.cpp)
  set_target_properties(ZuGsoapRuntimeTesting PROPERTIES
    POSITION_INDEPENDENT_CODE ON CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  target_include_directories(ZuGsoapRuntimeTesting SYSTEM BEFORE PUBLIC ${_zu_gsoap_build}/include)
  target_compile_definitions(ZuGsoapRuntimeTesting PUBLIC WITH_IPV6
                             PRIVATE "SOAP_MALLOC(soap,size)=ZuRuntimeMalloc(size)")
  target_compile_options(ZuGsoapRuntimeTesting PRIVATE -w -include
                         ${PROJECT_SOURCE_DIR}/tests/support/RuntimeAllocationHook.h)
  if(ZU_GSOAP_WITH_OPENSSL)
    target_compile_definitions(ZuGsoapRuntimeTesting PUBLIC WITH_OPENSSL)
    target_link_libraries(ZuGsoapRuntimeTesting PUBLIC OpenSSL::SSL OpenSSL::Crypto)
  endif()
  set_property(TARGET ZuGsoapRuntime PROPERTY ZU_TEST_BUILD ZuGsoapRuntimeTesting)
endif()
message(STATUS "SOAP runtime ${_zu_gsoap_source} from ${_zu_gsoap_dir}")
