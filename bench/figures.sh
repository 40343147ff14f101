#!/usr/bin/env bash
# figures.sh - peak memory, time to the window on screen, idle CPU and wakes per second of the clock,
# each beside xclock measured in the same run on the same X server, and how late after each second
# the tick runs.
# Usage: bench/figures.sh [idle-seconds]   (builds the release preset first)
set -euo pipefail
cd "$(dirname "$0")/.."
idle=${1:-60}
scripts/setup-deps.sh test time x11-apps
cmake --preset release >/dev/null
cmake --build --preset release --target rupika-tokei tick_phase >/dev/null
tokei=$PWD/build/release/app/rupika-tokei
# A UTF-8 locale, so that the window title reaches X intact for xdotool to find.
export LC_ALL=C.UTF-8

if [ -z "${FIGURES_UNDER_XVFB:-}" ]; then
  FIGURES_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

tmp=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$tmp"' EXIT
hz=$(getconf CLK_TCK)

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
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
t0=$(cpu_ticks "$tokei_pid"); x0=$(cpu_ticks "$xclock_pid")
tw0=$(wakes "$tokei_pid"); xw0=$(wakes "$xclock_pid")
sleep "$idle"
t1=$(cpu_ticks "$tokei_pid"); x1=$(cpu_ticks "$xclock_pid")
tw1=$(wakes "$tokei_pid"); xw1=$(wakes "$xclock_pid")
kill "$tokei_pid" "$xclock_pid"; wait 2>/dev/null || true
awk -v t=$((t1 - t0)) -v x=$((x1 - x0)) -v hz="$hz" -v s="$idle" 'BEGIN {
  printf "idle CPU rupika-tokei: %.2f%% (%d ticks of 1/%d s)\n", 100 * t / hz / s, t, hz
  printf "idle CPU xclock:       %.2f%% (%d ticks of 1/%d s)\n", 100 * x / hz / s, x, hz }'
awk -v t=$((tw1 - tw0)) -v x=$((xw1 - xw0)) -v s="$idle" 'BEGIN {
  printf "wakes per second rupika-tokei: %.2f\nwakes per second xclock:       %.2f\n", t / s, x / s }'
echo "peak RSS rupika-tokei: $(awk -F': ' '/Maximum resident/ {print $2}' "$tmp/tokei.time") KiB"
echo "peak RSS xclock:       $(awk -F': ' '/Maximum resident/ {print $2}' "$tmp/xclock.time") KiB"
echo "== the tick after each second of the wall clock (${idle} s)"
build/release/bench/tick_phase "$idle"
