#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/Mintu_<Name>Fuzz.cpp) with clang and runs
# each for a fixed time on a copy of its seed corpus (fuzz/corpus/<Name>/).
# Usage: ci/fuzz.sh [seconds per target, default 20] [target name...]
# A long run of one target: ci/fuzz.sh 3600 Version
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-20}
shift || true
names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for source in fuzz/Mintu_*Fuzz.cpp; do
    name=${source#fuzz/Mintu_}
    names+=("${name%Fuzz.cpp}")
  done
fi

echo "== Build the fuzz targets (clang, libFuzzer, ASan+UBSan)"
cmake --preset fuzz
cmake --build --preset fuzz -j "$(nproc)" --target mintu_fuzzers

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for name in "${names[@]}"; do
  echo "== Fuzz $name for $seconds s"
  corpus="$work/$name"
  mkdir -p "$corpus"
  cp -R "fuzz/corpus/$name/." "$corpus/"
  # Findings (crash-*, leak-*, timeout-*) are kept in the build tree.
  "build/fuzz/fuzz/Mintu_${name}Fuzz" -max_total_time="$seconds" -timeout=20 \
    -print_final_stats=1 -artifact_prefix="build/fuzz/fuzz/$name-" "$corpus"
done
echo "All fuzz targets ran without a finding."
