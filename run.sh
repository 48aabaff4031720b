#!/usr/bin/env bash
# Builds Lichtaus+ and starts it under Wine: ./run.sh [argument]
# With a display the program runs there, in a Wine virtual desktop. Without
# one it gets a virtual screen of its own; once its first window, message box
# or tray icon is up, a screenshot is saved to build/screenshot.png and the
# program and the screen are ended. Where this machine runs no 32-bit
# program, the 64-bit twin of the same sources runs instead
# (scripts/choose-build.sh).
set -euo pipefail
cd "$(dirname "$0")"

if [ -z "${LICHTAUS_IN_XVFB:-}" ]; then
  scripts/setup.sh
  . scripts/choose-build.sh
  configure_wine_build >/dev/null
  say_which_build Starting
  if [ -z "${DISPLAY:-}" ]; then
    LICHTAUS_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 800x600x24" "$0" "$@"
  fi
fi

[ -n "${wine_build:-}" ] || . scripts/choose-build.sh
export WINEPREFIX="$PWD/$wine_build/run-prefix"
. tests/wine/wine-env.sh
tests/wine/prepare-prefix.sh "$WINEPREFIX"

if [ -z "${LICHTAUS_IN_XVFB:-}" ]; then
  wine "$wine_build/Lichtaus+.exe" "$@"
  exit 0
fi

wine "$wine_build/Lichtaus+.exe" "$@" </dev/null >/dev/null 2>&1 &
if ! wine "$wine_build/tools/scene.exe" up 20000 </dev/null 2>/dev/null; then
  echo "Lichtaus+ did not come up" >&2
fi
sleep 1   # the desktop's taskbar paints the icon asynchronously
import -window root build/screenshot.png
wineserver -k >/dev/null 2>&1 || true
echo "build/screenshot.png"
