# CMake toolchain for 64-bit Windows with Debian's MinGW-w64 cross compiler, in its POSIX-threads
# flavour (g++-mingw-w64-x86-64-posix): the win32 flavour of GCC 12 has no std::thread, which Qt needs.
# Used both for Qt itself and for the program; scripts/windows.sh passes it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_triplet}-windres)
set(CMAKE_AR ${mingw_triplet}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${mingw_triplet}-gcc-ranlib-posix CACHE FILEPATH "")

# Libraries and headers come from the MinGW sysroot (and from the prefixes handed in through
# CMAKE_PREFIX_PATH, such as the cross-built Qt), programs from the build machine.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${mingw_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# Whatever is started at build or test time (try_run, ctest) runs under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
