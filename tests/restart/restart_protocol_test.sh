#!/usr/bin/env bash
# The Windows-only restart across two Wine sessions, as on the 9x family:
# "/t" writes the restart program, enters it in RunOnce and starts it; it calls
# ExitWindows(EW_RESTARTWINDOWS, 0) and exits with 0; the next session's
# RunOnce start of Lichtaus+ deletes it. A blank in the folder's name must be
# quoted; ending the session needs a prefix of its own.
#   restart_protocol_test.sh <Lichtaus+.exe> <RESTART.EXE> <work directory>
set -u
exe=$(realpath "$1") image=$(realpath "$2")
mkdir -p "$3" && workdir=$(realpath "$3") || exit 2
export WINEPREFIX="$workdir/prefix"
. "$(dirname "$0")/../wine/wine-env.sh"
stop_wine() { timeout 60 wineserver -k </dev/null &>/dev/null; timeout 60 wineserver -w </dev/null &>/dev/null; }
trap stop_wine EXIT
fail() { echo "FAIL: $*"; exit 1; }

if [ ! -f "$WINEPREFIX/.lichtaus-ready" ]; then
  rm -rf "$WINEPREFIX"
  timeout 300 wineboot -i </dev/null >"$workdir/wineboot.log" 2>&1 || fail "no prefix (see $workdir/wineboot.log)"
  # The 9x family for this program only; a trace of the 16-bit calls only.
  wine reg add 'HKCU\Software\Wine\AppDefaults\Lichtaus+.exe' /v Version /d win98 /f >>"$workdir/wineboot.log" 2>&1
  wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /d 'KERNEL.*;USER.*' /f >>"$workdir/wineboot.log" 2>&1
  stop_wine
  touch "$WINEPREFIX/.lichtaus-ready"
fi
stop_wine

folder="$WINEPREFIX/drive_c/Program Files/Lichtaus Test"
mkdir -p "$folder" && cp "$exe" "$folder/Lichtaus+.exe"
restart="$(ls -d "$WINEPREFIX"/drive_c/users/*/Temp | head -n 1)/Lichtaus+Restart.exe"
rm -f "$restart"

# First session. 16-bit relay lines look like
#   0024:Call USER.7: EXITWINDOWS(00000042,0000) ret=02ef:0034 ds=02f7
WINEDEBUG=+relay timeout 120 wine 'C:\Program Files\Lichtaus Test\Lichtaus+.exe' /t \
  </dev/null >"$workdir/first.out" 2>"$workdir/first.trace"
timeout 60 wineserver -w </dev/null >/dev/null 2>&1   # the restart program outlives Lichtaus+
grep -qF 'USER.7: EXITWINDOWS(00000042,0000)' "$workdir/first.trace" || fail "no ExitWindows(0x42, 0)"
grep -qE '__WINE_CALL_INT_HANDLER\(0021\) .* ax=4c00 ' "$workdir/first.trace" || fail "no exit with code 0"
cmp -s "$image" "$restart" || fail "the written restart program is not the image"
grep -qF '"\"C:\\Program Files\\Lichtaus Test\\Lichtaus+.exe\" C:\\users\\' "$WINEPREFIX/system.reg" \
  || fail "no quoted RunOnce command: $(grep -F 'Lichtaus+' "$WINEPREFIX/system.reg")"

# Second session: Wine's start-up runs the RunOnce command.
timeout 120 wine cmd /c exit </dev/null >"$workdir/second.out" 2>&1
timeout 60 wineserver -w </dev/null >/dev/null 2>&1
[ ! -e "$restart" ] || fail "the next start did not delete $restart"
! sed -n '/RunOnce\]/,/^$/p' "$WINEPREFIX/system.reg" | grep -qF '"Lichtaus+"=' || fail "the RunOnce value stayed"
echo "PASS: restart program written and started, ExitWindows(0x42, 0) called; the next session removed it"
