#!/usr/bin/env bash
# The demonstration, run from a build directory: the mintu command on the
# sample installation under examples/install (ORVANE unset).
set -euo pipefail
build="${1:-build/release}"
mintu="$build/tools/mintu"
sample="$(cd "$(dirname "$0")/.." && pwd)/examples/install"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset ORVANE ORV_MN_API_DEBUG

step() { printf '\n\033[1m$ %s\033[0m\n' "$*"; "$@"; }

echo "== Versions in both notations, in the library's order"
step "$build/examples/mintu_versions_demo" 2>&1
step "$mintu" version sort v2_0 1.00.b 1.5 V1_00_A 1.05.b 10.1 9.99.z legacy-core
step "$mintu" version normalize v3_01 V1_00_A
step "$mintu" version underscore 3.1 v1_00_a

echo; echo "== A SPIRIT 1.4 component: written, stamped, verified"
step "$mintu" component --vendor orvane.com --library ip --name fifo_generator --version 3.1 \
  --description "Synchronous FIFO" --port clk:in --port din:in:7:0 --port dout:out:7:0 \
  --param C_DEPTH:long:user=512 --param C_HAS_RESET:bool=true -o "$work/fifo_generator.xml"
cat "$work/fifo_generator.xml"
step "$mintu" stamp "$work/fifo_generator.xml"
step "$mintu" verify "$work/fifo_generator.xml"
echo '  <!-- edited by hand -->' >> "$work/fifo_generator.xml"
sed -i 's/512/1024/' "$work/fifo_generator.xml"
step "$mintu" verify "$work/fifo_generator.xml" || echo "(status $?: the edit is caught)"

echo; echo "== The sample installation ($sample)"
step "$mintu" find data/defaults.txt IPupdate.log
step "$mintu" find --container data/adder_v2_0.mpd data/fifo_generator_v3_1.mpd
step "$mintu" verify "$sample/root1/data/fifo_generator.cfg"
step "$mintu" release
step "$mintu" java
step "$mintu" cores-level
step "$mintu" expand '${ORVANE}/IPupdate.log' '${HOME}/projects'
step "$mintu" filelist "$sample/root1/sources.lst"

echo; echo "== The installation and file utilities, called from C++"
step "$build/examples/mintu_install_demo"
echo
echo "Done. Library demos: $build/examples/"
