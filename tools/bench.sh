#!/bin/bash
# make bench: Keyvane.exe beside the least program of its design and a bare
# window, under Wine on the simulated pad; prints the table and writes
# BUILD/bench/bench.json. Exits 0 whatever falls short: a benchmark is not
# a test.
#
#   bench.sh BUILD_DIR TARGET
set -uo pipefail

build="$(realpath -m "$1")"
target="$2"
root="$(cd "$(dirname "$0")/.." && pwd)"
mkdir -p "$build/bench"
start=$SECONDS
# The executable's figures are those of the 32-bit program on every host.
"$root/tools/pad-run.sh" "$build" "$target" keyvane_bench "$build/bench/bench.json" "$build/i686/bin/Keyvane.exe" \
    || echo "bench: the bench program failed (exit $?)"
echo "bench: $build/bench/bench.json ($((SECONDS - start)) s)"
