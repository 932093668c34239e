#!/bin/bash
# make demo: Keyvane under Wine on the simulated pad, playing a short stick
# and button script; prints each key event, saves BUILD/demo/keyvane.png.
#
#   demo.sh BUILD_DIR TARGET
set -euo pipefail

build="$(realpath -m "$1")"
target="$2"
root="$(cd "$(dirname "$0")/.." && pwd)"
if [ "$target" = i686 ]; then
    echo "demo: the 32-bit Keyvane.exe, the program that ships"
else
    echo "demo: the x86-64 build of Keyvane.exe: this host runs no 32-bit code"
fi
mkdir -p "$build/demo"
rm -f "$build/demo/keyvane.bmp"
WINEDLLOVERRIDES=dinput=n "$root/tools/wine-run.sh" --target "$target" --state "$build/$target/wine" \
    "$build/$target/bin/keyvane_demo.exe" "$build/demo/keyvane.bmp"
convert "$build/demo/keyvane.bmp" "$build/demo/keyvane.png"
rm -f "$build/demo/keyvane.bmp"
echo "demo: screenshot in $build/demo/keyvane.png"
