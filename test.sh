#!/usr/bin/env bash
# Builds Lichtaus+ and runs every test under Wine on a virtual X screen, on the
# 64-bit twin where no 32-bit program runs (scripts/choose-build.sh). Exits
# non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
. scripts/choose-build.sh
configure_wine_build
say_which_build Testing ", checked without Wine and by the twin's resources_test; the 16-bit restart is skipped"
[ "$wine_arch" = x86 ] || ctest --test-dir build --timeout 300 --output-on-failure -R '^release_package$'
# Always a screen of our own, also where a display exists: the tests open
# windows and message boxes that must not land on the user's desktop.
xvfb-run -a -s "-screen 0 1024x768x24" \
  ctest --test-dir "$wine_build" --timeout 300 --output-on-failure "$@"
