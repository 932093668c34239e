#!/bin/bash
# make soak: keyvane_soak.exe under Wine for SECONDS, with the simulated
# pad; prints its report and fails when it does.
#
#   soak.sh BUILD_DIR TARGET SECONDS [SEED]
set -euo pipefail

build="$(realpath -m "$1")"
target="$2"
seconds="$3"
seed="${4:-}"
root="$(cd "$(dirname "$0")/.." && pwd)"
if [ "$target" = i686 ]; then
    echo "soak: the 32-bit Keyvane.exe, the program that ships"
else
    echo "soak: the x86-64 build of Keyvane.exe: this host runs no 32-bit code"
fi
WINEDLLOVERRIDES=dinput=n "$root/tools/wine-run.sh" --target "$target" --state "$build/$target/wine" \
    "$build/$target/bin/keyvane_soak.exe" "$seconds" $seed
