#!/usr/bin/env bash
# Applies .clang-format to the tree, or with --check fails when a file differs.
set -euo pipefail
cd "$(dirname "$0")/.."
files=$(git ls-files '*.h' '*.cpp' '*.java' | grep -v '^tests/data/' || true)
if [ "${1:-}" = "--check" ]; then
  clang-format --dry-run --Werror $files
else
  clang-format -i $files
fi
