#!/usr/bin/env bash
# Installs the packages of the Windows cross build, kept apart from ci/setup.sh's list.
set -euo pipefail
cd "$(dirname "$0")/../.."
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
