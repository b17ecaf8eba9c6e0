#!/usr/bin/env bash
# Checks what the cross-built DLLs export (objdump): only the library's own
# names, the expected ones among them, and the library reaching the
# portability layer through its DLL.
#
# Usage: ci/windows/check-exports.sh BUILD
set -euo pipefail
build=$1
triplet=x86_64-w64-mingw32
objdump=$triplet-objdump
cxxfilt=$triplet-c++filt
port_dll=$build/port/libPortability.dll
mintu_dll=$build/src/libMintu_Utilities.dll
failures=0

# The demangled names of a DLL's export table, one a line.
exports() {
  "$objdump" -p "$1" |
    awk '/^\[Ordinal\/Name Pointer\] Table/ { on = 1; next }
         on && /^[ \t]*\[/ { print $NF; next }
         on { on = 0 }' |
    "$cxxfilt"
}

# check_dll DLL ALLOWED-REGEX EXPECTED-NAME...: every export matches the
# allowed pattern (our own namespaces, never std::, Boost, zlib or the
# runtime's), the table is not the export-everything fallback, and each
# expected name is there. The table is kept in a file and every question is
# asked of the file: no pipe where a reader may stop early (under pipefail a
# writer killed by SIGPIPE would fail a check that passed).
check_dll() {
  local dll=$1 allowed=$2
  shift 2
  local list=$build/exports-$(basename "$dll").txt
  exports "$dll" >"$list"
  local count
  count=$(grep -c . "$list" || true)
  echo "== $(basename "$dll"): $count exports"
  # The linker exports every symbol when a DLL marks none for export: the
  # runtime's and the standard library's names then fail the check below.
  if [ "$count" -eq 0 ]; then
    echo "FAIL: no exports"
    failures=$((failures + 1))
  fi
  local stray
  stray=$(grep -Ev "$allowed" "$list" || true)
  if [ -n "$stray" ]; then
    echo "FAIL: unexpected exports:"
    sed -n '1,40s/^/  /p' <<<"$stray"
    failures=$((failures + 1))
  fi
  local name
  for name in "$@"; do
    if ! grep -Fx -- "$name" "$list" >/dev/null; then
      echo "FAIL: missing export: $name"
      failures=$((failures + 1))
    fi
  done
  # Exports by leading name, as a record of what the table holds.
  local summary
  summary=$(sed -E 's/^(typeinfo name|typeinfo|vtable|VTT) for /\1 for /; s/^([^(<:]*::|[^(<:]*).*/\1/' "$list" |
    sort | uniq -c | sort -rn)
  sed -n '1,12s/^/  /p' <<<"$summary"
}

# Names of our own, optionally behind "typeinfo for" and the like.
meta='^((typeinfo|typeinfo name|vtable|VTT|non-virtual thunk to|virtual thunk to) (for )?)?'

check_dll "$port_dll" "${meta}(Port::|Port_[A-Za-z]+|UT_DIR|UT_TIMER|CitP::)" \
  'Port::StringBase<char>::Format(char const*, ...)' \
  'Port::StringBase<char>::CRC32() const' \
  'Port::File::open(Port::StringBase<char> const&, int, bool)' \
  'Port::FileName::GetAbsolutePath(bool) const' \
  'Port_Env::GetEnv(char const*)' \
  'Port_MsgDispatcher::addMsgMan(Port_MsgMan*)' \
  'Port_MsgManData::createObject(char const*, char const*, int, char const*)' \
  'Port::OrvanePath::GetInstance()' \
  'Port::SafeIncr(int&)' \
  'vtable for Port_MsgMan'

jni=Java_com_orvane_mintutil_mintaro2_Mintaro2MessageCatcher
check_dll "$mintu_dll" "${meta}(Mintu::|UtilI::|CommonI::|CitI::)|^${jni}_output(Info|Warning|Error|Debug)MessageN\$" \
  "${jni}_outputInfoMessageN" \
  "${jni}_outputWarningMessageN" \
  "${jni}_outputErrorMessageN" \
  "${jni}_outputDebugMessageN" \
  'Mintu::Version::Version(Port::StringBase<char> const&)' \
  'Mintu::Version::operator<(Mintu::Version const&) const' \
  'Mintu::XmlNestedElement::ToXml(Port::StringBase<char> const&) const' \
  'Mintu::Utilities::GetFullOrvanePathOf(Port::StringBase<char> const&, Port::StringBase<char>&)' \
  'Mintu::DebugMessengerFactory::GetLogger(Port::StringBase<char> const&)' \
  'Mintu::AppException::AppException(Mintu::AppException const&)' \
  'typeinfo for Mintu::AppException' \
  'Mintu::Spirit::COMPONENT' \
  'Mintu::Keyword::LIBRARY_FATAL_ERROR'

# The library must reach the layer through its DLL, not a copy of it.
imports=$("$objdump" -p "$mintu_dll")
if [[ $imports != *"DLL Name: libPortability.dll"* ]]; then
  echo "FAIL: libMintu_Utilities.dll does not import libPortability.dll"
  failures=$((failures + 1))
fi
# The loader's entry point stays private.
if grep -x 'DllMain' "$build/exports-$(basename "$mintu_dll").txt" >/dev/null; then
  echo "FAIL: DllMain is exported"
  failures=$((failures + 1))
fi

if [ "$failures" -ne 0 ]; then
  echo "windows-cross: $failures check(s) failed"
  exit 1
fi
echo "windows-cross: both DLLs built and export what they should"
