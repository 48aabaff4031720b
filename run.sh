#!/usr/bin/env bash
# Builds Lichtaus+ and starts it under Wine: ./run.sh [argument]
# With a display the program runs there, in a Wine virtual desktop. Without
# one it gets a virtual screen of its own; once its first window, message box
# or tray icon is up, a screenshot is saved to build/screenshot.png and the
# program and the screen are ended.
set -euo pipefail
cd "$(dirname "$0")"

if [ -z "${LICHTAUS_IN_XVFB:-}" ]; then
  scripts/setup.sh
  cmake -S . -B build >/dev/null
  cmake --build build -j"$(nproc)" >/dev/null
  if [ -z "${DISPLAY:-}" ]; then
    LICHTAUS_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 800x600x24" "$0" "$@"
  fi
fi

export WINEPREFIX="$PWD/build/run-prefix"
. tests/wine/wine-env.sh
tests/wine/prepare-prefix.sh "$WINEPREFIX"

if [ -z "${LICHTAUS_IN_XVFB:-}" ]; then
  wine build/Lichtaus+.exe "$@"
  exit 0
fi

wine build/Lichtaus+.exe "$@" </dev/null >/dev/null 2>&1 &
if ! wine build/tools/scene.exe up 20000 </dev/null 2>/dev/null; then
  echo "Lichtaus+ did not come up" >&2
fi
sleep 1   # the desktop's taskbar paints the icon asynchronously
import -window root build/screenshot.png
wineserver -k >/dev/null 2>&1 || true
echo "build/screenshot.png"
