// The platform the tests run on, for the few expectations that differ by
// platform: where the system's own conversion is what the component follows
// on Windows, and the stand-in's on Linux.
#ifndef ZU_TEST_PLATFORM_H
#define ZU_TEST_PLATFORM_H

enum class TestPlatform { Linux, Windows };

// Set by the build (tests/support/CMakeLists.txt, cmake/WindowsTests.cmake).
TestPlatform CurrentTestPlatform();

// The expectation of the platform the tests run on.
template <class T>
T ByPlatform(T onLinux, T onWindows) {
    return CurrentTestPlatform() == TestPlatform::Windows ? onWindows : onLinux;
}

#endif // ZU_TEST_PLATFORM_H
