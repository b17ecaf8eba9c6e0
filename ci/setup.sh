#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libboost1.81-dev        # shared_ptr, tokenizer and header-only Boost.Regex
  googletest libgtest-dev libgmock-dev
  libbenchmark-dev
  zlib1g-dev
  openjdk-17-jdk-headless # jni.h, javac and the JVM for the bridge tests
  libpugixml-dev          # benchmark peer and test reader of written XML
  libxml2-utils           # xmllint, schema validation of written components
  clang-format
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q || true
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
