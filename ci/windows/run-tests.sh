#!/usr/bin/env bash
# Runs the cross-built test programs (ci/windows-cross.sh) under Wine, each
# program once from its own build folder, and ends with the counts of tests
# run, passed, failed and skipped (with the reasons of the skips). Fails when
# a test fails or a program ends without its report.
#
# Usage: ci/windows/run-tests.sh [build-dir]   (default build/mingw64)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$(cd "${1:-build/mingw64}" && pwd)
triplet=x86_64-w64-mingw32

wine=$(command -v wine64 || true)
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
wineserver=$(command -v wineserver || true)
[ -n "$wineserver" ] || wineserver=/usr/lib/wine/wineserver

# A Wine prefix of this build only, quiet, without the Mono and Gecko
# installers (console programs need neither).
export WINEPREFIX=$build/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# Where the programs find the two DLLs and the compiler's runtime DLLs
# (libstdc++, libgcc, winpthread, zlib). Wine puts these before PATH, so
# programs that the tests start (mintu.exe) find them too.
windows_path() { local p=${1//\//\\}; echo "Z:$p"; }
gcc_dir=$(dirname "$("$triplet-g++-posix" -print-libgcc-file-name)")
WINEPATH="$(windows_path "$build/port");$(windows_path "$build/src");$(windows_path "$gcc_dir")"
WINEPATH+=";$(windows_path "/usr/$triplet/lib")"
export WINEPATH

reports=$build/test-reports
rm -rf "$reports"
mkdir -p "$reports"

# One server for the whole run, stopped at the end.
if [ ! -d "$WINEPREFIX" ]; then
  echo "== Creating the Wine prefix"
  timeout 300 "$wine" wineboot --init >/dev/null 2>&1 || true
fi
"$wineserver" -p || true  # already running: kept as it is
trap '"$wineserver" -k 2>/dev/null || true' EXIT

mapfile -t programs < <(find "$build/tests" -name '*Test.exe' -not -path '*/package-work/*' | sort)
if [ ${#programs[@]} -eq 0 ]; then
  echo "FAIL: no test programs under $build/tests"
  exit 1
fi

count() { xmllint --xpath "count($2)" "$1" 2>/dev/null || echo 0; }

total=0 run=0 passed=0 failed=0 skipped=0 broken=0
skip_lines=()
for exe in "${programs[@]}"; do
  name=$(basename "$exe" .exe)
  report=$reports/$name.xml
  echo "== $name"
  status=0
  (cd "$(dirname "$exe")" &&
    timeout 900 "$wine" "./$name.exe" --gtest_brief=1 "--gtest_output=xml:$(windows_path "$report")") ||
    status=$?
  if [ "$name" = ExitTimeTest ]; then
    # A plain program, not a GoogleTest one: its exit status is its verdict.
    total=$((total + 1)) run=$((run + 1))
    if [ "$status" -eq 0 ]; then passed=$((passed + 1)); else
      echo "FAIL: $name ended with status $status"
      failed=$((failed + 1))
    fi
    continue
  fi
  if [ ! -s "$report" ]; then
    echo "FAIL: $name ended with status $status and no report"
    broken=$((broken + 1))
    continue
  fi
  cases=$(count "$report" '//testcase')
  skips=$(count "$report" '//testcase[@result="skipped"]')
  notrun=$(count "$report" '//testcase[@status="notrun"]')
  fails=$(count "$report" '//testcase[failure]')
  total=$((total + cases))
  skipped=$((skipped + skips))
  run=$((run + cases - skips - notrun))
  failed=$((failed + fails))
  passed=$((passed + cases - skips - notrun - fails))
  if [ "$status" -ne 0 ] && [ "$fails" -eq 0 ]; then
    echo "FAIL: $name ended with status $status"
    broken=$((broken + 1))
  fi
  for ((i = 1; i <= skips; i++)); do
    item="(//testcase[@result=\"skipped\"])[$i]"
    test=$(xmllint --xpath "string($item/@classname)" "$report").$(xmllint --xpath "string($item/@name)" "$report")
    # The message is "file:line" and the reason on the next line.
    reason=$(xmllint --xpath "string($item/skipped/@message)" "$report")
    skip_lines+=("$name: $test: ${reason#*$'\n'}")
  done
done

echo
echo "== Skipped on Windows"
if [ ${#skip_lines[@]} -gt 0 ]; then printf '  %s\n' "${skip_lines[@]}"; fi
echo "Windows suite under Wine: ${#programs[@]} programs, $total tests: $run run, $passed passed," \
  "$failed failed, $skipped skipped; $broken program(s) ended abnormally"
if [ "$failed" -ne 0 ] || [ "$broken" -ne 0 ]; then
  exit 1
fi
