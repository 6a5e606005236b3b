# Cross-compiles for 64-bit Windows with Debian's mingw-w64 and runs what it builds under
# Wine: the posix thread model (GoogleTest needs std::mutex), everything linked statically
# so that no runtime DLL has to sit beside the programs.
#   cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
# WINEPREFIX must be set before configuring: test discovery runs the test programs.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

find_program(M2V_WINE NAMES wine wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(M2V_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${M2V_WINE})
endif()

# Under Wine the host's folders are reached through drive Z:.
set(M2V_TEST_PATH_PREFIX "Z:" CACHE STRING "Prefix that makes a host path a path of the tests")
# No GoogleTest package for the target: build it from Debian's sources.
set(M2V_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources to build")
# nlohmann-json is header-only: the host's headers serve the target as they are.
set(M2V_NLOHMANN_JSON_HEADERS /usr/include/nlohmann CACHE PATH "nlohmann-json's header folder")
