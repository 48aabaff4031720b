#!/usr/bin/env bash
# Ends every Wine process of the test prefix. Usage: stop-prefix.sh <prefix>
export WINEPREFIX=$1
. "$(dirname "$0")/wine-env.sh"
wineserver -k >/dev/null 2>&1 || true
