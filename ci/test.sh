#!/usr/bin/env bash
# Sets up, builds everything (warnings as errors, benchmarks built but not
# run) and runs the whole test suite, then again under ASan+UBSan and built
# by clang (warnings as errors there too), runs clang-tidy on the library
# sources, runs the containers' tests under ThreadSanitizer, and checks the
# formatting.
set -euo pipefail
cd "$(dirname "$0")/.."
./ci/setup.sh

jobs=$(nproc)

echo "== Build and test (dev)"
cmake --preset dev
cmake --build --preset dev -j "$jobs"
ctest --preset dev -j "$jobs"

echo "== Build and test (asan)"
cmake --preset asan
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"

echo "== Build and test (clang, warnings as errors)"
cmake --preset clang
cmake --build --preset clang -j "$jobs"
ctest --preset clang -j "$jobs"

echo "== clang-tidy on the library sources (.clang-tidy)"
run-clang-tidy -p build/clang -quiet -j "$jobs" "$PWD/(src|port/src)/.*\.cpp\$" >build/clang/tidy.log 2>&1 ||
  { grep -E 'warning:|error:' build/clang/tidy.log || cat build/clang/tidy.log; exit 1; }

echo "== Reference counts and the logger registry shared between threads (ThreadSanitizer)"
cmake --preset tsan -DMINTU_BUILD_TOOLS=OFF
cmake --build --preset tsan -j "$jobs" --target ContainersTest LoggerRegistryConcurrencyTest
ctest --preset tsan -L containers
ctest --preset tsan -R LoggerRegistryConcurrencyTest

echo "== Format check"
./ci/format.sh --check
echo "All checks passed."
