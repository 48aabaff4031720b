#!/usr/bin/env bash
# Builds Lichtaus+ and runs every test (unit, resource and end-to-end) under
# Wine on a virtual X screen. Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
cmake -S . -B build >/dev/null
cmake --build build -j"$(nproc)"
# Always a screen of our own, also where a display exists: the tests open
# windows and message boxes that must not land on the user's desktop.
xvfb-run -a -s "-screen 0 1024x768x24" \
  ctest --test-dir build --timeout 300 --output-on-failure "$@"
