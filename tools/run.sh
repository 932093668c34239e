#!/bin/bash
# make run: Keyvane.exe under Wine on this machine's own game pad (Wine's
# DirectInput) and this machine's desktop. The Wine session is started
# here, unless one already runs for the build tree, so that it can be
# stopped when Keyvane ends or the run is interrupted: a killed run would
# otherwise leave the prefix's Wine services behind.
#
#   run.sh BUILD_DIR TARGET
set -uo pipefail

build="$(realpath -m "$1")"
target="$2"
tools="$(cd "$(dirname "$0")" && pwd)"
state="$build/$target/wine"

# Wine and Keyvane run in sessions of their own, away from the terminal's
# Ctrl-C and a timeout's signal to this process group: a wineserver that
# goes first leaves the prefix's services running without it. The trap
# below ends them in order instead.
own=0
if [ ! -f "$state/session" ]; then
    setsid "$tools/wine-run.sh" --target "$target" --state "$state" start || exit 1
    own=1
fi
keyvane=""
stop() {
    # Keyvane's own process group first, for a session that others share.
    if [ -n "$keyvane" ]; then kill -- -"$keyvane" 2>/dev/null; fi
    if [ "$own" = 1 ]; then "$tools/wine-run.sh" --target "$target" --state "$state" stop; fi
}
trap 'stop; exit 130' INT TERM HUP

# In the background, so that a signal is acted on at once, not once Wine
# has ended by itself.
WINEDLLOVERRIDES="dinput=b;mscoree,mshtml=" setsid "$tools/wine-run.sh" --target "$target" --state "$state" \
    "$build/$target/bin/Keyvane.exe" &
keyvane=$!
wait "$keyvane"
rc=$?
trap - INT TERM HUP
keyvane=""
stop
exit $rc
