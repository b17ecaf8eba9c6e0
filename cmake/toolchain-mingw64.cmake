# Cross build for 64-bit Windows with Debian's mingw-w64 (POSIX thread model).
# Use: cmake -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake ...
# ci/windows-cross.sh sets up the rest (Boost and JNI header folders).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINTU_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MINTU_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINTU_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MINTU_MINGW_TRIPLET}-windres)

# Libraries and headers of the target only (zlib from libz-mingw-w64-dev);
# programs still come from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${MINTU_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
