# Cross-building for 64-bit Windows with mingw-w64 on Debian. The -posix
# compilers: the default (win32 threads) variant of GCC has no std::mutex or
# std::thread.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZU_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZU_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZU_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${ZU_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ZU_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
