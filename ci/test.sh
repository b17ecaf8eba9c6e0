#!/usr/bin/env bash
# Sets up, builds everything (warnings as errors, benchmarks built but not
# run) and runs the whole test suite, then again under ASan+UBSan, runs the
# containers' tests under ThreadSanitizer, and checks the formatting.
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

echo "== Reference counts and the logger registry shared between threads (ThreadSanitizer)"
cmake --preset tsan -DMINTU_BUILD_TOOLS=OFF
cmake --build --preset tsan -j "$jobs" --target VectorHelperTest UtilitiesContainersTest RefCountConcurrencyTest LoggerRegistryConcurrencyTest
ctest --preset tsan -L containers
ctest --preset tsan -R LoggerRegistryConcurrencyTest

echo "== Format check"
./ci/format.sh --check
echo "All checks passed."
