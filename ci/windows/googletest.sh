#!/usr/bin/env bash
# Builds GoogleTest for the target from Debian's sources into BUILD/deps/googletest.
#
# Usage: ci/windows/googletest.sh BUILD
set -euo pipefail
cd "$(dirname "$0")/../.."
src=$(pwd)
build=$1
triplet=x86_64-w64-mingw32
# --- GoogleTest for the target, from Debian's sources, built once per
# build folder (a stamp names the sources it was built from).
gtest_src=/usr/src/googletest
gtest_dir=$build/deps/googletest
gtest_stamp="$(dpkg-query -W -f='${Version}' googletest) $triplet-g++-posix gmock"
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
if [ "$(cat "$gtest_dir/stamp" 2>/dev/null)" != "$gtest_stamp" ]; then
  echo "== GoogleTest for the target"
  rm -rf "$gtest_dir" "$build/deps/googletest-build"
  cmake -S "$gtest_src" -B "$build/deps/googletest-build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$src/cmake/toolchain-mingw64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON \
    -DCMAKE_INSTALL_PREFIX="$gtest_dir" "${launcher[@]}" >/dev/null
  cmake --build "$build/deps/googletest-build" -j "${MINTU_JOBS:-2}" >/dev/null
  cmake --install "$build/deps/googletest-build" >/dev/null
  echo "$gtest_stamp" >"$gtest_dir/stamp"
fi
