#!/usr/bin/env bash
# Cross-builds the Portability and Mintu_Utilities DLLs for 64-bit Windows
# with Debian's mingw-w64, then checks what the DLLs export. Nothing is run:
# the check reads the export tables with objdump.
#
# Usage: ci/windows-cross.sh [build-dir]   (default build/mingw64)
set -euo pipefail
cd "$(dirname "$0")/.."
src=$(pwd)
build=${1:-build/mingw64}
triplet=x86_64-w64-mingw32

# --- Packages of the cross build, kept apart from ci/setup.sh's list.
packages=(
  cmake ninja-build
  g++-mingw-w64-x86-64-posix   # the compiler, POSIX threads (std::mutex, thread_local)
  binutils-mingw-w64-x86-64    # ld, objdump
  libz-mingw-w64-dev           # zlib for the target
  libboost1.81-dev             # headers only, shared with the native build
  openjdk-17-jdk-headless      # jni.h (its jni_md.h is Linux's; ours is written below)
)
./ci/install-packages.sh "${packages[@]}"

mkdir -p "$build"
build=$(cd "$build" && pwd)

# --- pugixml, the XML reader's parser: mingw-w64 has no package of it, so
# the source release from Debian's own source package is compiled into the
# DLL. The machine's Debian sources, turned into source entries, give it.
pugixml_dir=$build/deps/pugixml
if [ ! -f "$pugixml_dir/src/pugixml.cpp" ]; then
  apt_dir=$build/deps/apt
  rm -rf "$apt_dir" "$pugixml_dir"
  mkdir -p "$apt_dir/parts" "$apt_dir/lists/partial" "$apt_dir/get" "$pugixml_dir"
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed -E 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
      >"$apt_dir/parts/debian.sources"
  fi
  if [ -f /etc/apt/sources.list ]; then
    sed -n -E 's/^deb[[:space:]]/deb-src /p' /etc/apt/sources.list >"$apt_dir/parts/debian.list"
  fi
  apt_options=(-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$apt_dir/parts"
    -o Dir::State::Lists="$apt_dir/lists")
  apt-get "${apt_options[@]}" update -q
  (cd "$apt_dir/get" && apt-get "${apt_options[@]}" source --download-only pugixml)
  tar -xzf "$apt_dir"/get/pugixml_*.orig.tar.gz -C "$pugixml_dir" --strip-components=1
fi

# --- Boost: Debian's headers are target-neutral, but /usr/include also holds
# glibc's, which must not reach the Windows compiler. A folder holding only a
# link to boost/ gives the one without the other.
boost_dir=$build/deps/boost-include
mkdir -p "$boost_dir"
ln -sfn /usr/include/boost "$boost_dir/boost"

# --- JNI: the JDK's jni.h with a Windows jni_md.h (the JDK here only has
# Linux's). These are the Windows definitions of the JNI binary interface.
jdk_home=$(dirname "$(dirname "$(readlink -f "$(command -v javac)")")")
jni_md_dir=$build/deps/jni-win32
mkdir -p "$jni_md_dir"
cat >"$jni_md_dir/jni_md.h.new" <<'JNI_MD'
/* Machine-dependent JNI definitions for 64-bit Windows. */
#ifndef _JAVASOFT_JNI_MD_H_
#define _JAVASOFT_JNI_MD_H_

#ifndef JNIEXPORT
#define JNIEXPORT __declspec(dllexport)
#endif
#define JNIIMPORT __declspec(dllimport)
#define JNICALL __stdcall

typedef long jint;
typedef __int64 jlong;
typedef signed char jbyte;

#endif /* !_JAVASOFT_JNI_MD_H_ */
JNI_MD
# Replaced only when it changes, so a second run rebuilds nothing.
if cmp -s "$jni_md_dir/jni_md.h.new" "$jni_md_dir/jni_md.h"; then
  rm "$jni_md_dir/jni_md.h.new"
else
  mv "$jni_md_dir/jni_md.h.new" "$jni_md_dir/jni_md.h"
fi

# --- Configure and build the two DLLs only.
cmake -S "$src" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$src/cmake/toolchain-mingw64.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DMINTU_BUILD_TESTS=OFF -DMINTU_BUILD_TOOLS=OFF -DMINTU_BUILD_BENCHMARKS=OFF \
  -DMINTU_WERROR=ON \
  -DBoost_INCLUDE_DIR="$boost_dir" \
  -DMINTU_JNI_INCLUDE_DIRS="$jdk_home/include;$jni_md_dir" \
  -DMINTU_PUGIXML_SOURCE_DIR="$pugixml_dir"
cmake --build "$build" --target Portability Mintu_Utilities -j "${MINTU_JOBS:-2}"

# --- What the DLLs export.
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
# expected name is there.
check_dll() {
  local dll=$1 allowed=$2
  shift 2
  local list
  list=$(exports "$dll")
  local count
  count=$(printf '%s\n' "$list" | grep -c . || true)
  echo "== $(basename "$dll"): $count exports"
  # The linker exports every symbol when a DLL marks none for export; a
  # count in the thousands means the export macros were lost.
  if [ "$count" -eq 0 ] || [ "$count" -gt 1500 ]; then
    echo "FAIL: $count exports"
    failures=$((failures + 1))
  fi
  local stray
  stray=$(printf '%s\n' "$list" | grep -Ev "$allowed" || true)
  if [ -n "$stray" ]; then
    echo "FAIL: unexpected exports:"
    printf '%s\n' "$stray" | head -40 | sed 's/^/  /'
    failures=$((failures + 1))
  fi
  local name
  for name in "$@"; do
    if ! printf '%s\n' "$list" | grep -Fxq -- "$name"; then
      echo "FAIL: missing export: $name"
      failures=$((failures + 1))
    fi
  done
  # Exports by leading name, as a record of what the table holds.
  printf '%s\n' "$list" | sed -E 's/^(typeinfo name|typeinfo|vtable|VTT) for /\1 for /; s/^([^(<:]*::|[^(<:]*).*/\1/' |
    sort | uniq -c | sort -rn | head -12 | sed 's/^/  /'
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
if ! "$objdump" -p "$mintu_dll" | grep -c 'DLL Name: libPortability.dll' >/dev/null; then
  echo "FAIL: libMintu_Utilities.dll does not import libPortability.dll"
  failures=$((failures + 1))
fi
# The loader's entry point stays private.
if exports "$mintu_dll" | grep -c '^DllMain' >/dev/null; then
  echo "FAIL: DllMain is exported"
  failures=$((failures + 1))
fi

if [ "$failures" -ne 0 ]; then
  echo "windows-cross: $failures check(s) failed"
  exit 1
fi
echo "windows-cross: both DLLs built and export what they should"

# --- Optional: a smoke run under Wine, when Wine is installed (it is not a
# dependency of this script).
wine=$(command -v wine64 || true)
[ -n "$wine" ] || { [ -x /usr/lib/wine/wine64 ] && wine=/usr/lib/wine/wine64; } || true
if [ -n "$wine" ]; then
  smoke=$build/smoke
  rm -rf "$smoke"
  mkdir -p "$smoke/files"
  "$triplet-g++-posix" -std=c++17 -O1 -Wall -Wextra -Werror \
    -I"$src/include" -I"$build/include" -I"$src/port/include" -I"$build/port/include" \
    -isystem "$boost_dir" "$src/ci/windows-smoke.cpp" -o "$smoke/windows-smoke.exe" \
    "$build/src/libMintu_Utilities.dll.a" "$build/port/libPortability.dll.a"
  gcc_dir=$(dirname "$("$triplet-g++-posix" -print-libgcc-file-name)")
  cp "$mintu_dll" "$port_dll" "$gcc_dir/libstdc++-6.dll" "$gcc_dir/libgcc_s_seh-1.dll" \
    "/usr/$triplet/lib/libwinpthread-1.dll" "/usr/$triplet/lib/zlib1.dll" "$smoke/"
  echo "== Smoke run under Wine"
  WINEPREFIX=$build/wineprefix WINEDEBUG=-all \
    timeout 600 "$wine" "$smoke/windows-smoke.exe" "Z:${smoke//\//\\}\\files"
fi
