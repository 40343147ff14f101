#!/usr/bin/env bash
# figures.sh - time to the window on screen, peak and private memory, idle CPU and wakes per second of
# the clock, each beside xclock measured in the same run on the same X server; how late after each
# second the tick runs, and how late the title shows each second, idle and while the alarm rings.
# Usage: bench/figures.sh [idle-seconds]   (builds the release preset first)
#        FIGURES_PROGRAM=path bench/figures.sh   (measures another build, an older one say, the same way)
set -euo pipefail
cd "$(dirname "$0")/.."
idle=${1:-60}
scripts/setup-deps.sh test time x11-apps coreutils
cmake --preset release >/dev/null
cmake --build --preset release --target rupika-tokei tick_phase >/dev/null
tokei=${FIGURES_PROGRAM:-$PWD/build/release/app/rupika-tokei}
# A UTF-8 locale, so that the window title reaches X intact for xdotool to find.
export LC_ALL=C.UTF-8

if [ -z "${FIGURES_UNDER_XVFB:-}" ]; then
  FIGURES_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

tmp=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$tmp"' EXIT

# Nanoseconds all threads have spent on a CPU.
cpu_ns() { cat /proc/"$1"/task/*/schedstat | awk '{n += $1} END {print n}'; }
# What the process wrote for itself: its own memory, not library pages it shares or could share.
private_kb() { awk '/^Private_Dirty:/ {print $2}' "/proc/$1/smaps_rollup"; }
# Voluntary context switches of all threads: each is a thread going to sleep until something wakes it.
wakes() { cat /proc/"$1"/task/*/status | awk '/^voluntary_ctxt_switches/ {n += $2} END {print n}'; }
now_ms() { date +%s%3N; }
median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2}'; }

# Time from exec to a visible window with the given title, in milliseconds.
startup_ms() {
  local title=$1; shift
  local t0 pid
  t0=$(now_ms)
  "$@" >/dev/null 2>&1 &
  pid=$!
  until xdotool search --onlyvisible --name "$title" >/dev/null 2>&1; do
    if ! kill -0 "$pid" 2>/dev/null || [ $(( $(now_ms) - t0 )) -gt 10000 ]; then
      echo "figures: $* never showed its window" >&2
      exit 1
    fi
    sleep 0.005
  done
  echo $(( $(now_ms) - t0 ))
  kill "$pid"; wait "$pid" 2>/dev/null || true
}

echo "== time to the window on screen (ms, median of 7)"
for i in 1 2 3 4 5 6 7; do startup_ms '^ルピカ時計' "$tokei"; done | median | sed 's/^/rupika-tokei: /'
for i in 1 2 3 4 5 6 7; do startup_ms '^xclock$' xclock -digital -update 1; done | median | sed 's/^/xclock:       /'

echo "== peak memory (maximum resident set, KiB), idle CPU and wakes over ${idle} s, both running side by side"
/usr/bin/time -v -o "$tmp/tokei.time" "$tokei" >/dev/null 2>&1 &
/usr/bin/time -v -o "$tmp/xclock.time" xclock -digital -update 1 >/dev/null 2>&1 &
sleep 2
tokei_pid=$(pgrep -n -f "^$tokei\$")
xclock_pid=$(pgrep -n -f '^xclock -digital')
t0=$(cpu_ns "$tokei_pid"); x0=$(cpu_ns "$xclock_pid")
tw0=$(wakes "$tokei_pid"); xw0=$(wakes "$xclock_pid")
sleep "$idle"
t1=$(cpu_ns "$tokei_pid"); x1=$(cpu_ns "$xclock_pid")
tw1=$(wakes "$tokei_pid"); xw1=$(wakes "$xclock_pid")
tp=$(private_kb "$tokei_pid"); xp=$(private_kb "$xclock_pid")
kill "$tokei_pid" "$xclock_pid"; wait 2>/dev/null || true
awk -v t=$((t1 - t0)) -v x=$((x1 - x0)) -v s="$idle" 'BEGIN {
  printf "idle CPU rupika-tokei: %.0f µs/s\nidle CPU xclock:       %.0f µs/s\n", t / 1000 / s, x / 1000 / s }'
awk -v t=$((tw1 - tw0)) -v x=$((xw1 - xw0)) -v s="$idle" 'BEGIN {
  printf "wakes per second rupika-tokei: %.2f\nwakes per second xclock:       %.2f\n", t / s, x / s }'
echo "peak RSS rupika-tokei: $(awk -F': ' '/Maximum resident/ {print $2}' "$tmp/tokei.time") KiB"
echo "peak RSS xclock:       $(awk -F': ' '/Maximum resident/ {print $2}' "$tmp/xclock.time") KiB"
echo "idle private memory rupika-tokei: $tp kB"
echo "idle private memory xclock:       $xp kB"
echo "== the tick after each second of the wall clock (${idle} s)"
build/release/bench/tick_phase "$idle"

echo "== the title's second behind the real second (ms), before an alarm and while it rings (30 s)"
openbox --sm-disable >/dev/null 2>&1 &
# A sound server of its own with a sink that plays nowhere, so that the alarm really sounds meanwhile.
export XDG_RUNTIME_DIR=$tmp
pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no -L module-native-protocol-unix \
  -L module-null-sink >/dev/null 2>&1 &
sleep 1
"$tokei" >/dev/null 2>&1 &
until main=$(xdotool search --onlyvisible --name '^ルピカ時計' 2>/dev/null | head -n 1) && [ -n "$main" ]; do sleep 0.1; done
# Every change of the title, stamped as it arrives; the first line is the title as it was.
stdbuf -oL xprop -spy -id "$main" _NET_WM_NAME | {
  read -r _
  while read -r _; do echo "$EPOCHREALTIME"; done
} >"$tmp/titles" &
# The alarm is set through the windows, for the first whole minute at least 15 s away.
read -r h m <<<"$(date -d @$(($(date +%s) + 75)) '+%-H %-M')"
xdotool windowactivate --sync "$main" key Return
sleep 1
set=$(xdotool search --onlyvisible --name '^アラーム設定$' | head -n 1)
xdotool mousemove --window "$set" 50 50 click 1 type "$h"
xdotool mousemove --window "$set" 130 50 click 1 type "$m"
xdotool mousemove --window "$set" 272 60 click 1
until box=$(xdotool search --onlyvisible --name '^ルピカ$' 2>/dev/null | head -n 1) && [ -n "$box" ]; do sleep 0.05; done
rang=$EPOCHREALTIME
sleep 30
xdotool windowactivate --sync "$box" key Return
sleep 0.5
percentiles() { sort -n | awk '{a[NR] = $1} END {printf "median %.1f, 95th percentile %.1f, max %.1f (%d seconds)\n",
  a[int((NR + 1) / 2)], a[int((NR - 1) * 0.95) + 1], a[NR], NR}'; }
phase() { awk -v r="$rang" -v ringing="$1" '($1 >= r) == ringing {printf "%.1f\n", ($1 - int($1)) * 1000}' "$tmp/titles"; }
echo "before the alarm: $(phase 0 | percentiles)"
echo "while it rings:   $(phase 1 | percentiles)"
