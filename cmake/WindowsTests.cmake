# The Windows tests, run under Wine by CTest (scripts/test-windows prepares the
# prefix and Wine's server first). The emulator is tests/windows/wine-run.sh
# with the prefix under the build folder.
set(ZU_WINE_PREFIX ${PROJECT_BINARY_DIR}/wineprefix)
set(ZU_WINE_RUN ${PROJECT_SOURCE_DIR}/tests/windows/wine-run.sh)
# The Linux build whose simulator the end-to-end test talks to.
set(ZU_LINUX_BUILD_DIR ${PROJECT_SOURCE_DIR}/build CACHE PATH "Linux build folder with bin/assets-sim")

# zu_windows_test(<name> SOURCES <files...> [LIBS <targets...>] [ARGS <arguments...>])
# One GoogleTest program, run whole as one CTest test (each Wine process
# costs a fraction of a second, so the program's tests are not split up).
function(zu_windows_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;ARGS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  # Test builds of the libraries with test seams (cmake/ZuLayers.cmake).
  set_target_properties(${name} PROPERTIES ZU_TEST_SEAMS ON)
  target_link_libraries(${name} PRIVATE ${T_LIBS} ZuTestSupport GTest::gmock GTest::gtest_main)
  set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "${ZU_WINE_RUN};${ZU_WINE_PREFIX}")
  add_test(NAME Windows.${name} COMMAND ${name} --gtest_brief=1 ${T_ARGS})
  set_tests_properties(Windows.${name} PROPERTIES TIMEOUT 120 LABELS windows)
endfunction()

set(_zu_tests ${PROJECT_SOURCE_DIR}/tests)

# The portable test helpers: the scripted server (its sockets behind the
# platform seam, KoSocket.h) and the platform the tests run on.
add_library(ZuTestSupport STATIC ${_zu_tests}/support/ScriptedServer.cpp ${_zu_tests}/support/TestPlatform.cpp)
target_include_directories(ZuTestSupport PUBLIC ${_zu_tests}/support)
set_source_files_properties(${_zu_tests}/support/TestPlatform.cpp PROPERTIES COMPILE_DEFINITIONS
                                                                             ZU_TEST_PLATFORM=Windows)
target_link_libraries(ZuTestSupport PUBLIC KoPlatform GTest::gtest Threads::Threads)

# The component as a host meets it: regsvr32, CoCreateInstance by CLSID, the
# operations against the Linux simulator, regsvr32 /u.
add_executable(ComHostTest ${_zu_tests}/windows/ComHostTest.cpp)
target_link_libraries(ComHostTest PRIVATE InterplayHost GTest::gtest_main)
add_dependencies(ComHostTest ZuInterplayAccess KoDebug)
add_test(NAME Windows.ComHost
         COMMAND ${_zu_tests}/windows/run-com-host-test.sh ${ZU_WINE_RUN} ${ZU_WINE_PREFIX}
                 ${ZU_LINUX_BUILD_DIR}/bin/assets-sim $<TARGET_FILE:ComHostTest> $<TARGET_FILE:ZuInterplayAccess>)
set_tests_properties(Windows.ComHost PROPERTIES TIMEOUT 180 LABELS windows RUN_SERIAL ON)

# The DLL's export table: the entry points and the framework's members only.
add_test(NAME Windows.LibraryExports
         COMMAND ${_zu_tests}/windows/check-dll-exports.sh $<TARGET_FILE:ZuInterplayAccess>)
set_tests_properties(Windows.LibraryExports PROPERTIES LABELS windows)

# The portable suites: framework, pools, result objects, wire text (with
# Windows' own conversion where it differs from the Linux stand-in's: the
# tables carry both expectations).
zu_windows_test(FrameworkTest SOURCES ${_zu_tests}/framework/UnknownTest.cpp ${_zu_tests}/framework/SmartPtrTest.cpp
                ${_zu_tests}/framework/LockTest.cpp ${_zu_tests}/framework/TraceTest.cpp LIBS ZuFramework)
zu_windows_test(PoolTest SOURCES ${_zu_tests}/framework/PoolTest.cpp LIBS ZuFramework)
zu_windows_test(ObjectsTest SOURCES ${_zu_tests}/objects/ResultObjectsTest.cpp ${_zu_tests}/objects/ObjectManagerTest.cpp
                ${_zu_tests}/objects/CreationSlotsTest.cpp LIBS ZuAccess)
zu_windows_test(SoapWireTextTest SOURCES ${_zu_tests}/soap/WireTextTest.cpp LIBS ZuSoap)
# The SOAP layer over Windows sockets against the scripted server: the exact
# requests, how each kind of response and transport failure is sorted, and
# malformed responses and misbehaving peers.
zu_windows_test(SoapRequestTest SOURCES ${_zu_tests}/soap/RequestTest.cpp LIBS ZuSoap)
# Calls to a closed port among them: each would take the whole connect time-out
# (30 s) if the refusal were waited for as the runtime waits for it (Windows
# reports it as an exception condition, not by making the socket writable).
zu_windows_test(SoapOutcomeTest SOURCES ${_zu_tests}/soap/OutcomeTest.cpp LIBS ZuAccess)
zu_windows_test(SoapRobustnessTest SOURCES ${_zu_tests}/soap/RobustnessTest.cpp ${_zu_tests}/soap/ResponseReader.cpp
                LIBS ZuAccess)
# The fault guard's message box: a host's handler replaces it, as on Linux
# (SoapFaultGuardTest); without one it is a real box (MessageBoxTest).
zu_windows_test(SoapFaultGuardTest SOURCES ${_zu_tests}/soap/FaultGuardTest.cpp LIBS ZuAccess)
zu_windows_test(MessageBoxTest SOURCES ${_zu_tests}/windows/MessageBoxTest.cpp LIBS ZuAccess)
