#!/usr/bin/env bash
# Sets up, builds the library and its programs, and runs the demonstration.
set -euo pipefail
cd "$(dirname "$0")/.."
./ci/setup.sh
cmake --preset release -DMINTU_BUILD_TESTS=OFF -DMINTU_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build --preset release
./ci/demo-run.sh build/release
