#!/usr/bin/env bash
# Creates the 32-bit Wine prefix for the tests (once per build tree) and
# keeps its server running, so that each test program starts in a fraction of
# a second. Usage: prepare-prefix.sh <prefix> [dpi]
set -eu
export WINEPREFIX=$1
dpi=${2:-}
. "$(dirname "$0")/wine-env.sh"

if [ ! -f "$WINEPREFIX/.lichtaus-ready" ]; then
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wine wineboot -i </dev/null >"$WINEPREFIX.log" 2>&1
  # One virtual desktop named "shell" (Wine gives it a taskbar and a
  # notification area) for every process; no crash dialog waiting for a click.
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >>"$WINEPREFIX.log" 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d 800x600 /f >>"$WINEPREFIX.log" 2>&1
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >>"$WINEPREFIX.log" 2>&1
  # Display scaling (144 is 150 %), seen from the next Wine session on.
  [ -z "$dpi" ] ||
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >>"$WINEPREFIX.log" 2>&1
  # Debian's Wine does not register the TrueType fonts of its data folder;
  # without Marlett a caption's close box shows an "r". The prefix's own
  # Fonts folder is always searched.
  cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  wineserver -w
  touch "$WINEPREFIX/.lichtaus-ready"
fi

# The server, Wine's background services and the desktop outlive this
# script; they must hold none of CTest's pipes, or CTest waits for them until
# its time-out. So all of them start here, with every output elsewhere.
setsid wineserver -p </dev/null >/dev/null 2>&1 &
wine cmd /c exit </dev/null >/dev/null 2>&1
if [ -n "${DISPLAY:-}" ]; then
  setsid "${WINELOADER:-wine}" explorer.exe /desktop=shell,800x600 </dev/null >/dev/null 2>&1 &
  # Wait for the desktop: a test that came first would start it itself,
  # holding the test's output pipe.
  for _ in $(seq 100); do
    xdotool search --name 'Wine desktop' >/dev/null 2>&1 && break
    sleep 0.1
  done
fi
