#!/bin/bash
# Runs one of the build's driver programs (the demo, the bench, the soak)
# under Wine with the simulated pad in the prefix's system folder, after
# saying which Keyvane.exe it drives: the 32-bit program where the target
# is i686, else the x86-64 build of the same code.
#
#   pad-run.sh BUILD_DIR TARGET PROGRAM [ARGS...]
set -uo pipefail

build="$(realpath -m "$1")"
target="$2"
program="$3"
shift 3
if [ "$target" = i686 ]; then
    echo "$program: the 32-bit Keyvane.exe, the program that ships"
elif "$(dirname "$0")/host-runs-i386.sh"; then
    echo "$program: the x86-64 build of Keyvane.exe, the same code"
else
    echo "$program: the x86-64 build of Keyvane.exe: this host runs no 32-bit code"
fi
WINEDLLOVERRIDES=dinput=n exec "$(dirname "$0")/wine-run.sh" --target "$target" --state "$build/$target/wine" \
    --system-dlls "$build/$target/system" "$build/$target/bin/$program.exe" "$@"
