#!/usr/bin/env bash
# The demonstration, run from a build directory.
set -euo pipefail
build="${1:-build/release}"
"$build/examples/mintu_versions_demo"
