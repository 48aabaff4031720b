#!/usr/bin/env bash
# The whole Windows-only restart across two Wine sessions, as on the 9x
# family: "Lichtaus+.exe /t" writes the restart program, leaves the RunOnce
# entry and starts it; the restart program calls ExitWindows, which ends the
# session; the next session runs the RunOnce command, and that start of
# Lichtaus+ deletes the restart program again.
#   restart_protocol_test.sh <Lichtaus+.exe> <RESTART.EXE> <answer_box.exe> <work directory>
# The program sits in a folder with a blank, so the RunOnce command must
# quote it. ExitWindows ends the prefix's session: the run has a prefix of its own.
set -u
[ $# -eq 4 ] || { echo "usage: $0 <Lichtaus+.exe> <RESTART.EXE> <answer_box.exe> <work directory>" >&2; exit 2; }
exe=$(realpath "$1")
image=$(realpath "$2")
answer_box=$(realpath "$3")
mkdir -p "$4" && workdir=$(realpath "$4") || exit 2

export WINEPREFIX="$workdir/prefix"
export WINEARCH=win32 LANG=C.UTF-8 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# The program needs a display (test.sh runs the tests on Xvfb): it creates its
# hidden window first, and it asks a question.
[ -n "${DISPLAY:-}" ] || { echo "FAIL: no display"; exit 1; }

stop_wine() {
    timeout 60 wineserver -k </dev/null >/dev/null 2>&1
    timeout 60 wineserver -w </dev/null >/dev/null 2>&1
}
trap stop_wine EXIT
fail() { echo "FAIL: $*"; exit 1; }

if [ ! -f "$WINEPREFIX/.lichtaus-ready" ]; then
    rm -rf "$WINEPREFIX"
    timeout 300 wineboot -i </dev/null >"$workdir/wineboot.log" 2>&1 || fail "no prefix (see $workdir/wineboot.log)"
    # The 9x family for this program only; a trace of the 16-bit calls only.
    wine reg add 'HKCU\Software\Wine\AppDefaults\Lichtaus+.exe' /v Version /d win98 /f \
        </dev/null >>"$workdir/wineboot.log" 2>&1 || fail "could not select the 9x family"
    wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /d 'KERNEL.*;USER.*' /f \
        </dev/null >>"$workdir/wineboot.log" 2>&1 || fail "could not limit the relay trace"
    stop_wine
    touch "$WINEPREFIX/.lichtaus-ready"
fi
stop_wine

folder="$WINEPREFIX/drive_c/Program Files/Lichtaus Test"
mkdir -p "$folder" && cp "$exe" "$folder/Lichtaus+.exe"
temp_dir=$(ls -d "$WINEPREFIX"/drive_c/users/*/Temp | head -n 1)
restart="$temp_dir/Lichtaus+Restart.exe"
rm -f "$restart"

# First session: "/t?" asks first; OK (the default button) goes on, and the
# action ends in the restart program's ExitWindows.
WINEDEBUG=+relay timeout 120 wine 'C:\Program Files\Lichtaus Test\Lichtaus+.exe' '/t?' \
    </dev/null >"$workdir/first.out" 2>"$workdir/first.trace" &
timeout 60 wine "$answer_box" Lichtaus+ 1 30000 </dev/null >/dev/null 2>&1 || fail "no question before the restart"
wait
# The restart program runs on after Lichtaus+ has ended: wait for the session.
timeout 60 wineserver -w </dev/null >/dev/null 2>&1
grep -qF 'USER.7: EXITWINDOWS(00000042,0000)' "$workdir/first.trace" || fail "the restart program did not call ExitWindows"
cmp -s "$image" "$restart" || fail "the written restart program is not the image"
grep -qF '"\"C:\\Program Files\\Lichtaus Test\\Lichtaus+.exe\" C:\\users\\' "$WINEPREFIX/system.reg" \
    || fail "no quoted RunOnce command in the registry: $(grep -F 'Lichtaus+' "$WINEPREFIX/system.reg")"

# Second session: Wine's start-up runs the RunOnce command.
timeout 120 wine cmd /c exit </dev/null >"$workdir/second.out" 2>&1
timeout 60 wineserver -w </dev/null >/dev/null 2>&1
[ ! -e "$restart" ] || fail "the next start did not delete $restart"
! grep -qF '"Lichtaus+"=' <(sed -n '/RunOnce\]/,/^$/p' "$WINEPREFIX/system.reg") || fail "the RunOnce value is still there"
echo "PASS: restart program written, started, ExitWindows called; the next session removed it"
