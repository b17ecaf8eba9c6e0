#!/usr/bin/env bash
# Cross-builds the Portability and Mintu_Utilities DLLs, the whole test
# suite and mintu.exe for 64-bit Windows with Debian's mingw-w64, checks what
# the DLLs export, then runs the suite under Wine and fails when a test fails
# there. Each step is a script of its own in ci/windows/.
#
# Usage: ci/windows-cross.sh [build-dir]   (default build/mingw64)
set -euo pipefail
cd "$(dirname "$0")/.."
src=$(pwd)
build=${1:-build/mingw64}

./ci/windows/packages.sh
mkdir -p "$build"
build=$(cd "$build" && pwd)

# Libraries without a mingw-w64 package, built for the target from Debian's sources.
expat_dir=$(./ci/windows/expat.sh "$build")
./ci/windows/googletest.sh "$build"
gtest_dir=$build/deps/googletest

# Boost: Debian's headers are target-neutral, but /usr/include also holds
# glibc's, which must not reach the Windows compiler. A folder holding only a
# link to boost/ gives the one without the other.
boost_dir=$build/deps/boost-include
mkdir -p "$boost_dir"
ln -sfn /usr/include/boost "$boost_dir/boost"

# JNI: the JDK's jni.h with the Windows jni_md.h kept in ci/windows (the JDK
# here only has Linux's).
jdk_home=$(dirname "$(dirname "$(readlink -f "$(command -v javac)")")")

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

# The DLLs, the tests and the tools.
cmake -S "$src" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$src/cmake/toolchain-mingw64.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DMINTU_BUILD_TESTS=ON -DMINTU_BUILD_TOOLS=ON -DMINTU_BUILD_BENCHMARKS=OFF \
  -DMINTU_WERROR=ON "${launcher[@]}" \
  -DGTest_DIR="$gtest_dir/lib/cmake/GTest" \
  -DBoost_INCLUDE_DIR="$boost_dir" \
  -DMINTU_JNI_INCLUDE_DIRS="$jdk_home/include;$src/ci/windows" \
  -DMINTU_EXPAT_SOURCE_DIR="$expat_dir"
cmake --build "$build" -j "${MINTU_JOBS:-2}"

./ci/windows/check-exports.sh "$build"

# The suite under Wine.
./ci/windows/run-tests.sh "$build"
