#!/bin/bash
# Runs Windows programs under Wine for the tests.
#
#   wine-run.sh [--target T] --state DIR start           make the prefix, start
#                                                        Xvfb and a persistent
#                                                        wineserver
#   wine-run.sh [--target T] --state DIR stop            stop exactly what start
#                                                        started
#   wine-run.sh [--target T] --state DIR PROGRAM [ARGS]  run one program in that
#                                                        session (a session of
#                                                        its own if none)
#
# --system-dlls DLLDIR (before start or PROGRAM) first puts the DLLs of
# DLLDIR in the prefix's system folder, where Windows keeps its own: the
# simulated pad's dinput.dll is found there as a real DirectInput is.
#
# T is the programs' target: i686 (the default) runs in a 32-bit prefix
# DIR/win32 with Wine's 32-bit loader; x86_64 in a 64-bit prefix DIR/win64
# with wine64, which also works on hosts that run no 32-bit code at all.
# The prefix is made once. The session's process ids are kept in
# DIR/session and are the only processes stop ends.
set -uo pipefail

target="i686"
state=""
system_dlls=""
while [ $# -gt 0 ]; do
    case "$1" in
        --target) target="$2"; shift 2 ;;
        --state) state="$2"; shift 2 ;;
        --system-dlls) system_dlls="$2"; shift 2 ;;
        *) break ;;
    esac
done
state="$(realpath -m "${state:-${KEYVANE_WINE_STATE:-$PWD/wine}}")"
session="$state/session"

case "$target" in
    i686) export WINEARCH=win32; loader=/usr/lib/wine/wine ;;
    x86_64) export WINEARCH=win64; loader=/usr/lib/wine/wine64; export WINELOADER=$loader ;;
    *) echo "$0: unknown target $target" >&2; exit 2 ;;
esac
export WINEPREFIX="$state/$WINEARCH"
export WINEDEBUG="${WINEDEBUG:--all}"
wine() { "$loader" "$@"; }

session_start() {
    mkdir -p "$state"
    exec 9>"$state/lock"
    flock 9
    if [ -f "$session" ]; then
        # shellcheck disable=SC1090
        . "$session"
        if kill -0 "$WINESERVER_PID" 2>/dev/null; then return 0; fi
        rm -f "$session"
    fi

    local xvfb_pid="" display="${DISPLAY:-}"
    if [ -z "$display" ]; then
        local fdfile="$state/display"
        rm -f "$fdfile"
        Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
        xvfb_pid=$!
        for _ in $(seq 100); do [ -s "$fdfile" ] && break; sleep 0.05; done
        display=":$(head -n1 "$fdfile")"
    fi
    export DISPLAY="$display"

    wineserver -f -p >/dev/null 2>&1 &
    local server_pid=$!

    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        # No Mono or Gecko installer dialog waits for a click.
        WINEDLLOVERRIDES="mscoree,mshtml=" wine wineboot --init >/dev/null 2>&1
        # A virtual desktop: title bars, and no wait when a top-level
        # window is destroyed.
        wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
        # The desktop that wineboot started is not the virtual one: start
        # the prefix's processes afresh so that the next one makes it.
        wineserver -k >/dev/null 2>&1
        wait "$server_pid" 2>/dev/null
        wineserver -f -p >/dev/null 2>&1 &
        server_pid=$!
    fi
    # A program that crashes ends once Wine's debugger has printed its
    # backtrace, instead of waiting on a crash dialog that nobody sees on
    # the headless display, until the test's time-out.
    if ! grep -q '"ShowCrashDialog"' "$WINEPREFIX/user.reg" 2>/dev/null; then
        wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    fi
    # Wine draws the title-bar buttons with its Marlett font, but this Wine
    # does not look for it where Debian's fonts-wine puts it: without a copy
    # in the prefix the buttons show the letters "0 1 r".
    local marlett=/usr/share/wine/fonts/marlett.ttf fonts="$WINEPREFIX/drive_c/windows/Fonts"
    if [ -f "$marlett" ] && [ -d "$fonts" ] && [ ! -f "$fonts/marlett.ttf" ]; then cp "$marlett" "$fonts/"; fi
    cat > "$session" <<S
DISPLAY=$display
XVFB_PID=$xvfb_pid
WINESERVER_PID=$server_pid
S
    flock -u 9
}

session_stop() {
    [ -f "$session" ] || return 0
    # shellcheck disable=SC1090
    . "$session"
    rm -f "$session"
    # Ends the Wine processes of this prefix only, then the server itself.
    wineserver -k >/dev/null 2>&1
    for _ in $(seq 50); do kill -0 "$WINESERVER_PID" 2>/dev/null || break; sleep 0.1; done
    kill "$WINESERVER_PID" 2>/dev/null
    if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null; wait "$XVFB_PID" 2>/dev/null; fi
    return 0
}

# Both prefixes keep their own bitness's DLLs in system32. A file is
# replaced by a rename, so a program that has the old one loaded keeps it.
install_system_dlls() {
    [ -n "$system_dlls" ] || return 0
    local dll installed
    for dll in "$system_dlls"/*.dll; do
        [ -f "$dll" ] || { echo "$0: no DLL in $system_dlls" >&2; return 1; }
        installed="$WINEPREFIX/drive_c/windows/system32/${dll##*/}"
        cmp -s "$dll" "$installed" && continue
        cp "$dll" "$installed.new" && mv -f "$installed.new" "$installed" || return 1
    done
}

case "${1:-}" in
    start) session_start; install_system_dlls; exit ;;
    stop) session_stop; exit 0 ;;
    "") echo "usage: $0 [--state DIR] start|stop|PROGRAM [ARGS]" >&2; exit 2 ;;
esac

own_session=0
if [ ! -f "$session" ]; then
    session_start
    own_session=1
fi
if ! install_system_dlls; then
    [ "$own_session" = 1 ] && session_stop
    exit 1
fi
# shellcheck disable=SC1090
. "$session"
export DISPLAY
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

# Wine may leave helper processes running (the desktop's explorer) that
# would inherit and hold our output open; they get a file instead.
out="$(mktemp "$state/out.XXXXXX")"
wine "$@" >"$out" 2>&1
rc=$?
cat "$out"
rm -f "$out"
if [ "$own_session" = 1 ]; then session_stop; fi
exit $rc
