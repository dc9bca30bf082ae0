# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 toolchain (posix
# threads). The programs run under Wine through tools/wine-run.sh.
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

# Boost is header-only here and the same for every target: the host's headers are
# reached through a folder that holds nothing else, so no other host header leaks in.
set(_tarnwick_boost ${CMAKE_BINARY_DIR}/host-headers)
if(NOT EXISTS ${_tarnwick_boost}/boost)
  file(MAKE_DIRECTORY ${_tarnwick_boost})
  file(CREATE_LINK /usr/include/boost ${_tarnwick_boost}/boost SYMBOLIC)
endif()
set(CMAKE_CXX_FLAGS_INIT "-isystem ${_tarnwick_boost}")

# The runtime libraries go into each program, so the test programs start under a
# bare Wine prefix without the toolchain's DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run.sh)
