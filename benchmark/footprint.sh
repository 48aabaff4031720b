#!/usr/bin/env bash
# Footprint and responsiveness of Lichtaus+ under Wine, beside two programs
# built here with the same flags from benchmark/bare_tray.cpp: the bare tray
# program, and the yardstick that also does the start-up work Lichtaus+ must
# do (the long path from GetLongPathNameA). Size and imports,
# start to icon, idle cost, private memory, and GDI/USER objects after many
# Options confirmations. A measurement, not a test: it prints a table and
# fails only when it cannot measure.
# Where this machine runs no 32-bit program, it measures the 64-bit twin
# beside 64-bit builds of the other two (scripts/choose-build.sh).
#   benchmark/footprint.sh [rounds]     (default 10 starts of each program)
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-10}

if [ -z "${LICHTAUS_IN_XVFB:-}" ]; then
  scripts/setup.sh
  . scripts/choose-build.sh
  configure_wine_build >/dev/null
  say_which_build Measuring
  LICHTAUS_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 800x600x24" "$0" "$@"
fi
. scripts/choose-build.sh
build=$wine_build
objdump=$([ "$wine_arch" = x86 ] && echo i686 || echo x86_64)-w64-mingw32-objdump
work="$PWD/$build/benchmark"

export WINEPREFIX="$work/prefix"
. tests/wine/wine-env.sh
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
tests/wine/prepare-prefix.sh "$WINEPREFIX"
driver="$build/benchmark/bench_driver.exe"

# Each program in a folder of its own; Lichtaus+ with a settings file, so
# that it starts straight into the tray like every start after the first.
mkdir -p "$work/lichtaus" "$work/bare" "$work/yardstick"
cp "$build/Lichtaus+.exe" "$work/lichtaus/"
cp "$work/bare_tray.exe" "$work/bare/"
cp "$work/yardstick.exe" "$work/yardstick/"
printf '[Lichtaus+ Optionen]\r\nQuickInfo=Ja\r\n' >"$work/lichtaus/Lichtaus+.ini"
lichtaus_exe="Z:${work//\//\\}\\lichtaus\\Lichtaus+.exe"
bare_exe="Z:${work//\//\\}\\bare\\bare_tray.exe"
yard_exe="Z:${work//\//\\}\\yardstick\\yardstick.exe"
lichtaus_tip="Windows beenden... - Lichtaus+"

unix_pid() { pgrep -f "^[A-Z]:.*$1\$" | tail -n 1; }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
wakeups() { cat /proc/"$1"/task/*/status | awk '/voluntary_ctxt_switches/ {s += $2} END {print s}'; }
private_kb() { awk '/^Private_(Clean|Dirty)/ {s += $2} END {print s}' "/proc/$1/smaps_rollup"; }
median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

# One start: the milliseconds to the icon; the program is left running. The
# answer goes through a file: the started program inherits the output, and a
# pipe would stay open as long as it runs.
start() {
  wine "$driver" start "$1" "$2" </dev/null >"$work/answer" 2>/dev/null
  tr -d '\r' <"$work/answer"
}

: >"$work/lichtaus.ms"; : >"$work/bare.ms"; : >"$work/yard.ms"
for ((round = 0; round < rounds; round++)); do
  start "$lichtaus_exe" "$lichtaus_tip" >>"$work/lichtaus.ms"
  wine "$driver" close Lichtaus+WndClass </dev/null >/dev/null 2>&1
  start "$bare_exe" Bare >>"$work/bare.ms"
  wine "$driver" close BareTrayWndClass </dev/null >/dev/null 2>&1
  start "$yard_exe" Yardstick >>"$work/yard.ms"
  wine "$driver" close YardstickWndClass </dev/null >/dev/null 2>&1
done
lichtaus_ms=$(median <"$work/lichtaus.ms")
bare_ms=$(median <"$work/bare.ms")
yard_ms=$(median <"$work/yard.ms")

# Idle cost and memory of all three, running side by side after a settling
# second.
start "$lichtaus_exe" "$lichtaus_tip" >/dev/null
start "$bare_exe" Bare >/dev/null
start "$yard_exe" Yardstick >/dev/null
sleep 1
lpid=$(unix_pid 'lichtaus.Lichtaus\+\.exe')
bpid=$(unix_pid 'bare_tray\.exe')
ypid=$(unix_pid 'yardstick\.exe')
l_ticks=$(cpu_ticks "$lpid"); b_ticks=$(cpu_ticks "$bpid"); y_ticks=$(cpu_ticks "$ypid")
l_wake=$(wakeups "$lpid"); b_wake=$(wakeups "$bpid"); y_wake=$(wakeups "$ypid")
sleep 10
l_ticks=$(( $(cpu_ticks "$lpid") - l_ticks )); b_ticks=$(( $(cpu_ticks "$bpid") - b_ticks ))
y_ticks=$(( $(cpu_ticks "$ypid") - y_ticks ))
l_wake=$(( $(wakeups "$lpid") - l_wake )); b_wake=$(( $(wakeups "$bpid") - b_wake ))
y_wake=$(( $(wakeups "$ypid") - y_wake ))
l_mem=$(private_kb "$lpid"); b_mem=$(private_kb "$bpid"); y_mem=$(private_kb "$ypid")

wine "$driver" options 1000 </dev/null >"$work/answer" 2>/dev/null
objects=$(tr -d '\r' <"$work/answer")
wine "$driver" close Lichtaus+WndClass </dev/null >/dev/null 2>&1 || true
wine "$driver" close BareTrayWndClass </dev/null >/dev/null 2>&1 || true
wine "$driver" close YardstickWndClass </dev/null >/dev/null 2>&1 || true

size=$(stat -c %s "$build/Lichtaus+.exe")
sections=$("$objdump" -h "$build/Lichtaus+.exe" | awk '/^ +[0-9]+ \./ {print $2, $3}' |
  while read -r name hex; do printf '%s %d, ' "$name" $((16#$hex)); done | sed 's/, $//')
dlls=$("$objdump" -p "$build/Lichtaus+.exe" | grep -c 'DLL Name')
functions=$("$objdump" -p "$build/Lichtaus+.exe" | grep -cE '^\s+[0-9a-f]+\s+[0-9]+\s+\S+$')
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf (b > 0) ? "%.2f" : "n/a", a / b}'; }

cat <<TABLE
Lichtaus+ footprint ($(date -u +%Y-%m-%d), $(nproc) cores, $(wine --version), $rounds starts each, $build/Lichtaus+.exe)

| Figure | Lichtaus+ | Yardstick | Bare tray program | Lichtaus+ / yardstick | Lichtaus+ / bare |
|---|---|---|---|---|---|
| Executable size (bytes) | $size | $(stat -c %s "$work/yardstick.exe") | $(stat -c %s "$work/bare_tray.exe") | | |
| Imports | $dlls DLLs, $functions functions | | | | |
| Start to icon, median (ms) | $lichtaus_ms | $yard_ms | $bare_ms | $(ratio "$lichtaus_ms" "$yard_ms") | $(ratio "$lichtaus_ms" "$bare_ms") |
| CPU while idle for 10 s (ticks) | $l_ticks | $y_ticks | $b_ticks | | |
| Wake-ups while idle for 10 s | $l_wake | $y_wake | $b_wake | | |
| Private memory (KiB) | $l_mem | $y_mem | $b_mem | $(ratio "$l_mem" "$y_mem") | $(ratio "$l_mem" "$b_mem") |

Sections: $sections
GDI/USER objects of Lichtaus+ (GetGuiResources) $(echo "$objects" | tr '\n' ';' | sed 's/;$//') — after 1 and after 1000 Options confirmations that change the default action
TABLE
