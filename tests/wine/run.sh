#!/usr/bin/env bash
# Runs a Windows program in the test prefix: the emulator CTest puts in front
# of every test executable. Usage: run.sh <prefix> <program.exe> [arguments]
set -eu
export WINEPREFIX=$1
shift
. "$(dirname "$0")/wine-env.sh"
exec wine "$@"
