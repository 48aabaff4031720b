#!/usr/bin/env bash
# Runs a Windows program in the test prefix: the emulator CTest puts in front
# of every test executable. Usage: run.sh <prefix> <program.exe> [arguments]
#
# The program's output goes through a file, not straight to CTest: Wine may
# start helpers on the program's behalf (a desktop process, say) that inherit
# its output and outlive it, and CTest would wait for them until its time-out.
set -u
export WINEPREFIX=$1
shift
. "$(dirname "$0")/wine-env.sh"
log=$(mktemp)
wine "$@" </dev/null >"$log" 2>&1
status=$?
cat "$log"
rm -f "$log"
exit $status
