#!/usr/bin/env bash
# Cross-builds the Portability and Mintu_Utilities DLLs, the whole test
# suite and mintu.exe for 64-bit Windows with Debian's mingw-w64, checks what
# the DLLs export (objdump), then runs the suite under Wine
# (ci/windows-run-tests.sh) and fails when a test fails there.
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
  googletest                   # GoogleTest's sources, built here for the target
  wine64                       # runs the test programs
  libxml2-utils                # xmllint, reads the test reports
  dpkg-dev                     # dpkg-source, unpacks and patches expat's source package
)
./ci/install-packages.sh "${packages[@]}"

mkdir -p "$build"
build=$(cd "$build" && pwd)

# --- expat, the XML reader's parser: mingw-w64 has no package of it, so
# Debian's source package, with Debian's patches applied, is compiled into
# the DLL. The machine's Debian sources, turned into source entries, give it.
# The version is pinned: the archive this machine uses lists a newer
# bookworm-security revision (2.5.0-1+deb12u5) whose .dsc and patch tarball
# it does not hold, and trixie's 2.9.0 is missing from it too. 2.5.0-1+deb12u2
# (the bookworm point release) is complete; it carries the security fixes
# for CVE-2024-45490/45491/45492, CVE-2023-52425, CVE-2024-50602 and
# CVE-2024-8176 as patches. apt checks the files against the signed
# archive's Sources index and dpkg-source against the .dsc; the .dsc's own
# checksum is checked here as well, so another file is never used quietly.
expat_version=2.5.0-1+deb12u2
expat_dsc_sha256=6fc87dbd01f49999ed368cfb37c08d35e41348dda2281d60642f3aa14cb77e32
expat_dir=$build/deps/expat-$expat_version
if [ ! -f "$expat_dir/expat/lib/xmlparse.c" ]; then
  apt_dir=$build/deps/apt
  rm -rf "$apt_dir" "$expat_dir"
  mkdir -p "$apt_dir/parts" "$apt_dir/lists/partial" "$apt_dir/get"
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
  (cd "$apt_dir/get" && apt-get "${apt_options[@]}" source --download-only "expat=$expat_version")
  echo "$expat_dsc_sha256  $apt_dir/get/expat_$expat_version.dsc" | sha256sum -c -
  # Unpacks the upstream tarball and applies debian/patches (the CVE fixes).
  dpkg-source -x "$apt_dir/get/expat_$expat_version.dsc" "$expat_dir"
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

# --- Configure and build the DLLs, the tests and the tools.
cmake -S "$src" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$src/cmake/toolchain-mingw64.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DMINTU_BUILD_TESTS=ON -DMINTU_BUILD_TOOLS=ON -DMINTU_BUILD_BENCHMARKS=OFF \
  -DMINTU_WERROR=ON "${launcher[@]}" \
  -DGTest_DIR="$gtest_dir/lib/cmake/GTest" \
  -DBoost_INCLUDE_DIR="$boost_dir" \
  -DMINTU_JNI_INCLUDE_DIRS="$jdk_home/include;$jni_md_dir" \
  -DMINTU_EXPAT_SOURCE_DIR="$expat_dir/expat"
cmake --build "$build" -j "${MINTU_JOBS:-2}"

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
  # The linker exports every symbol when a DLL marks none for export; a
  # count in the thousands means the export macros were lost.
  if [ "$count" -eq 0 ] || [ "$count" -gt 1500 ]; then
    echo "FAIL: $count exports"
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

# --- The suite under Wine.
./ci/windows-run-tests.sh "$build"
