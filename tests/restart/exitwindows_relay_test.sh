#!/usr/bin/env bash
# Runs the built restart program under Wine with a relay trace and passes when
# the program called USER's ExitWindows(EW_RESTARTWINDOWS, 0) and then ended
# with exit code 0. Wine does not hand a 16-bit program's exit code back, so
# both are read from the trace.
#   exitwindows_relay_test.sh <RESTART.EXE> <work directory>
# ExitWindows ends the whole Wine session of its prefix, so the run gets a
# prefix of its own under the work directory, created once and reused.
set -u

if [ $# -ne 2 ]; then
    echo "usage: $0 <image> <work directory>" >&2
    exit 2
fi
image=$(realpath "$1")
workdir=$2
mkdir -p "$workdir" && workdir=$(realpath "$workdir") || exit 2
[ -f "$image" ] || { echo "FAIL: no image at $image"; exit 1; }

export WINEPREFIX="$workdir/prefix"
export WINEARCH=win32
export LANG=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# The program opens no window, so it needs no display; without one the run
# cannot touch whatever desktop the other tests use.
unset DISPLAY WAYLAND_DISPLAY

trace="$workdir/relay.log"

# Every Wine process started here writes to files, never to the test runner's
# pipe, or a lingering server would keep the runner waiting.
stop_wine() {
    WINEDEBUG=-all timeout 60 wineserver -k </dev/null >/dev/null 2>&1
    WINEDEBUG=-all timeout 60 wineserver -w </dev/null >/dev/null 2>&1
}
trap stop_wine EXIT

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    rm -rf "$WINEPREFIX"
    if ! WINEDEBUG=-all timeout 300 wineboot -i </dev/null >"$workdir/wineboot.log" 2>&1; then
        echo "FAIL: could not create the Wine prefix $WINEPREFIX (see $workdir/wineboot.log)"
        exit 1
    fi
    # Trace only the 16-bit KERNEL and USER: the whole session's 32-bit calls
    # would make the trace some 20 MB.
    if ! WINEDEBUG=-all timeout 120 wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude \
            /d 'KERNEL.*;USER.*' /f </dev/null >>"$workdir/wineboot.log" 2>&1; then
        echo "FAIL: could not limit the relay trace (see $workdir/wineboot.log)"
        exit 1
    fi
    stop_wine
fi
stop_wine  # a server left over from an interrupted run would hold the old session

WINEDEBUG=+relay timeout 120 wine "$image" </dev/null >"$workdir/wine.out" 2>"$trace"
status=$?
if [ "$status" -eq 124 ]; then
    echo "FAIL: the restart program did not end within 120 s"
    exit 1
fi

# 16-bit relay lines look like
#   0024:Call USER.7: EXITWINDOWS(00000042,0000) ret=02ef:0034 ds=02f7
#   0024:Call KERNEL.2000: __WINE_CALL_INT_HANDLER(0021) ret=... ax=4c00 ...
failed=0
if ! grep -qF 'USER.7: EXITWINDOWS(00000042,0000)' "$trace"; then
    echo "FAIL: no call USER.7: EXITWINDOWS(00000042,0000) in $trace"
    failed=1
fi
if ! grep -qE '__WINE_CALL_INT_HANDLER\(0021\) .* ax=4c00 ' "$trace"; then
    echo "FAIL: the program did not end through INT 21h with AX=4C00 (exit code 0)"
    failed=1
fi
if [ "$failed" -ne 0 ]; then
    echo "16-bit calls in the trace:"
    grep -E 'Call [A-Z]+\.[0-9]+: ' "$trace" | head -n 20
    exit 1
fi
echo "PASS: ExitWindows(0x42, 0) called, program ended with 0"
