#!/usr/bin/env bash
# Unpacks expat's Debian source package, patches applied, into BUILD/deps
# (once per build folder) for compiling into the Windows DLL.
#
# Usage: ci/windows/expat.sh BUILD   (prints the folder holding lib/xmlparse.c)
set -euo pipefail
build=$1
exec 3>&1 1>&2  # the folder alone on standard output; apt's report to standard error
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
echo "$expat_dir/expat" >&3
