#!/usr/bin/env bash
# Regenerates the README's pictures in docs/: the tray icon's popup menu, the
# Options and About dialogs and a "/s?" question, each an 800x600 screenshot
# of a Wine virtual desktop with its taskbar, on a virtual screen of its own;
# the menu and Options once more at 150 % display scaling (144 DPI).
# Usage: scripts/screenshots.sh (builds first; LICHTAUS_BUILD names another
# build directory than build/).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${LICHTAUS_BUILD:-build}

if [ -z "${LICHTAUS_IN_XVFB:-}" ]; then
  scripts/setup.sh
  cmake -S . -B "$build" >/dev/null
  cmake --build "$build" -j"$(nproc)" >/dev/null
  # Always a screen of our own, the size of the Wine desktop, so that the
  # root window is exactly the desktop.
  LICHTAUS_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 800x600x24" "$0" "$@"
fi

. tests/wine/wine-env.sh
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
mkdir -p docs

# A settings file whose default action is shutting down: its icon is the
# door with the red arrow, and its menu item is the bold one.
settings='[Lichtaus+ Optionen]\r\nMen\xfcpunkt=Windows herunterfahren\r\nAusschalten=Ja\r\nWarmstart=Ja\r\n'
settings+='Ausf\xfchren=Doppelklick\r\nBest\xe4tigung=Nein\r\nQuickInfo=Ja\r\n'

# [dpi=N] shoot <scene> [argument]: a fresh desktop (at N DPI, the picture
# named after the scaling), the program in a folder of its own, the scene
# brought up by scene.exe, the screenshot, then everything ended (no question
# is ever answered: ending the server answers nothing).
shoot() {
  local scene=$1 folder picture=$1
  shift
  export WINEPREFIX="$PWD/$build/screenshot-prefix${dpi:+-$dpi}"
  [ -n "${dpi:-}" ] && picture="$scene-$((dpi * 100 / 96))"
  folder="$WINEPREFIX/drive_c/scenes/$scene"
  tests/wine/prepare-prefix.sh "$WINEPREFIX" ${dpi:-}
  rm -rf "$folder"
  mkdir -p "$folder"
  cp "$build/Lichtaus+.exe" "$folder/"
  printf '%b' "$settings" >"$folder/Lichtaus+.ini"
  wine "$folder/Lichtaus+.exe" "$@" </dev/null >/dev/null 2>&1 &
  if ! wine "$build/tools/scene.exe" "$scene" 20000 </dev/null >/dev/null 2>&1; then
    echo "screenshots: the scene '$scene' did not come up" >&2
    exit 1
  fi
  import -window root "docs/$picture.png"
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  echo "docs/$picture.png"
}

shoot tray-menu
shoot options
shoot about
shoot confirm '/s?'
dpi=144 shoot tray-menu
dpi=144 shoot options
dpi=144 shoot about
