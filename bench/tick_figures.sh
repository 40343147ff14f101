#!/usr/bin/env bash
# tick_figures.sh - what the idle clock's tick costs: instructions on the main thread per tick at
# scale 1 and 2 (callgrind), the CPU of the clock and of its X server beside xclock and its own X
# server in the same run, how late the title shows each second, and the idle private memory.
# Usage: bench/tick_figures.sh [seconds]   (builds the release preset first; 40 s of each by default)
#        TICK_PROGRAM=path bench/tick_figures.sh   (measures another build, an older one say, the same way)
#        TICK_SETTLE=70 bench/tick_figures.sh   (settles longer than 20 s before counting)
# Run by hand: it takes some minutes, and its figures depend on the machine.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-40}
settle=${TICK_SETTLE:-20} # longer, and no character is drawn into its cell for the first time in the count
scripts/setup-deps.sh test x11-apps valgrind coreutils
cmake --preset release >/dev/null
cmake --build --preset release --target rupika-tokei >/dev/null
tokei=${TICK_PROGRAM:-$PWD/build/release/app/rupika-tokei}
# A UTF-8 locale, so that the window title reaches X intact for xdotool to find.
export LC_ALL=C.UTF-8

tmp=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$tmp"' EXIT

# An X server of its own for `name`, on a display it picks itself; its pid and display are kept in $tmp.
start_x() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$tmp/$1.display" >/dev/null 2>&1 &
  echo $! >"$tmp/$1.xpid"
  until [ -s "$tmp/$1.display" ]; do sleep 0.05; done
}
display_of() { echo ":$(head -n 1 "$tmp/$1.display")"; }
xpid_of() { cat "$tmp/$1.xpid"; }
# Waits until a window whose title matches shows on the display.
await_window() {
  local until=$((SECONDS + 120))
  until DISPLAY=$1 xdotool search --onlyvisible --name "$2" >/dev/null 2>&1; do
    [ $SECONDS -lt $until ] || { echo "tick_figures: no window '$2' on $1" >&2; exit 1; }
    sleep 0.2
  done
}
# Nanoseconds all threads of a process have spent on a CPU.
cpu_ns() { cat /proc/"$1"/task/*/schedstat | awk '{n += $1} END {print n}'; }
# What the process wrote for itself: its own memory, not library pages it shares or could share.
private_kb() { awk '/^Private_Dirty:/ {print $2}' "/proc/$1/smaps_rollup"; }

echo "== instructions per idle tick on the main thread (callgrind, ${seconds} s after ${settle} s of settling)"
for scale in 1 2; do
  start_x cg$scale
  DISPLAY=$(display_of cg$scale) QT_SCALE_FACTOR=$scale valgrind --tool=callgrind --separate-threads=yes \
    --callgrind-out-file="$tmp/cg$scale" "$tokei" >/dev/null 2>&1 &
  pid=$!
  await_window "$(display_of cg$scale)" '^ルピカ時計'
  sleep "$settle"
  callgrind_control -z "$pid" >/dev/null 2>&1
  sleep "$seconds"
  callgrind_control -d "$pid" >/dev/null 2>&1
  kill "$pid" "$(xpid_of cg$scale)"
  wait "$pid" 2>/dev/null || true
  # The main thread's part of the dump; each tick sets the title once, so its calls count the ticks.
  awk -v scale=$scale '
    /^c?fn=\(/ {
      id = $0; sub(/^c?fn=\(/, "", id); name = id; sub(/\).*/, "", id); sub(/^[0-9]+\) ?/, "", name)
      if (name != "") names[id] = name
      if ($0 ~ /^cfn=/) callee = id
    }
    /^calls=/ { if (names[callee] ~ /^QWidget::setWindowTitle\(/) { split($0, c, /[= ]/); ticks += c[2] } }
    /^summary:/ { total = $2 }
    END { printf "scale %s: %.0f instructions per tick (%d ticks, %d instructions)\n", scale, total / ticks, ticks, total }
  ' "$tmp/cg$scale.1-01"
done

echo "== client and server CPU beside xclock, each on its own X server (${seconds} s)"
start_x tokei
start_x xclock
DISPLAY=$(display_of tokei) "$tokei" >/dev/null 2>&1 &
tokei_pid=$!
DISPLAY=$(display_of xclock) xclock -digital -update 1 >/dev/null 2>&1 &
xclock_pid=$!
await_window "$(display_of tokei)" '^ルピカ時計'
await_window "$(display_of xclock)" '^xclock$'
sleep 5
pids="$tokei_pid $(xpid_of tokei) $xclock_pid $(xpid_of xclock)"
before=$(for p in $pids; do cpu_ns "$p"; done | xargs)
sleep "$seconds"
after=$(for p in $pids; do cpu_ns "$p"; done | xargs)
echo "$before $after" | awk -v s="$seconds" '{
  for (i = 1; i <= 4; i++) use[i] = ($(i + 4) - $i) / 1000 / s
  printf "rupika-tokei %.0f µs/s + its server %.0f µs/s = %.0f µs/s\n", use[1], use[2], use[1] + use[2]
  printf "xclock       %.0f µs/s + its server %.0f µs/s = %.0f µs/s\n", use[3], use[4], use[3] + use[4]
  printf "client+server beside xclock: %.2fx\n", (use[1] + use[2]) / (use[3] + use[4]) }'
echo "idle private memory rupika-tokei: $(private_kb "$tokei_pid") kB"

echo "== the title's second behind the real second (ms, ${seconds} s)"
main=$(DISPLAY=$(display_of tokei) xdotool search --onlyvisible --name '^ルピカ時計' | head -n 1)
# Every change of the title, stamped as it arrives; the first line is the title as it was.
DISPLAY=$(display_of tokei) stdbuf -oL xprop -spy -id "$main" _NET_WM_NAME | {
  read -r _
  while read -r _; do echo "$EPOCHREALTIME"; done
} >"$tmp/titles" &
sleep "$seconds"
awk '{printf "%.1f\n", ($1 - int($1)) * 1000}' "$tmp/titles" | sort -n | awk '{a[NR] = $1} END {
  printf "median %.1f, 95th percentile %.1f, max %.1f (%d seconds)\n", a[int((NR + 1) / 2)], a[int((NR - 1) * 0.95) + 1],
    a[NR], NR }'
