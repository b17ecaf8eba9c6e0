#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libboost1.81-dev        # shared_ptr, tokenizer and header-only Boost.Regex
  googletest libgtest-dev libgmock-dev
  libbenchmark-dev
  zlib1g-dev
  libdeflate-dev          # the CRC-32 of checksum stamps (zlib serves without it)
  openjdk-17-jdk-headless # jni.h, javac and the JVM for the bridge tests
  libexpat1-dev           # the XML reader's parser
  libpugixml-dev          # the XML benchmarks' peer (bench/ only)
  libxml2-utils           # xmllint, schema validation of written components
  clang-format
  clang clang-tidy        # the second compiler of the test command, and its linter
  libclang-rt-14-dev      # libFuzzer and the sanitizers of the fuzz targets
)

"$(dirname "$0")/install-packages.sh" "${packages[@]}"
