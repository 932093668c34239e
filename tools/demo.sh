#!/bin/bash
# make demo: Keyvane under Wine on the simulated pad, playing a short stick
# and button script; prints each key event, saves BUILD/demo/keyvane.png.
#
#   demo.sh BUILD_DIR TARGET
set -euo pipefail

build="$(realpath -m "$1")"
target="$2"
root="$(cd "$(dirname "$0")/.." && pwd)"
mkdir -p "$build/demo"
rm -f "$build/demo/keyvane.bmp"
"$root/tools/pad-run.sh" "$build" "$target" keyvane_demo "$build/demo/keyvane.bmp"
convert "$build/demo/keyvane.bmp" "$build/demo/keyvane.png"
rm -f "$build/demo/keyvane.bmp"
echo "demo: screenshot in $build/demo/keyvane.png"
