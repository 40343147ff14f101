#!/usr/bin/env bash
# power_idle.sh - wakes per second and threads of the idle clock before and after an alarm is set, with a
# service manager and a session manager on the bus that grant the wake and the hold (the power
# stand-ins): holding off suspend and waking the machine must cost the idle clock nothing.
# Usage: bench/power_idle.sh [seconds]   (builds the dev preset's program and power test first)
set -euo pipefail
cd "$(dirname "$0")/.."
secs=${1:-30}
if [ -z "${POWER_IDLE_INNER:-}" ]; then
  cmake --preset dev >/dev/null
  cmake --build --preset dev --target rupika-tokei power_standins >/dev/null
  POWER_IDLE_INNER=1 exec dbus-run-session -- xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
export LC_ALL=C.UTF-8
trap 'kill $(jobs -p) 2>/dev/null || true' EXIT
openbox --sm-disable >/dev/null 2>&1 & # the alarm window is reached as a person would, through the window manager
build/dev/tests/desktop/power_standins &
sleep 1
build/dev/app/rupika-tokei --silent 2>/dev/null &
pid=$!
# Voluntary context switches of all threads: each is a thread going to sleep until something wakes it.
wakes() { cat /proc/$pid/task/*/status | awk '/^voluntary_ctxt_switches/ {n += $2} END {print n}'; }
measure() {
  local w0
  sleep 3
  w0=$(wakes)
  sleep "$secs"
  awk -v a="$w0" -v b="$(wakes)" -v s="$secs" -v t="$(ls /proc/$pid/task | wc -l)" -v what="$1" \
    'BEGIN {printf "%-22s %.2f wakes per second, %d threads\n", what, (b - a) / s, t}'
}
window() { # waits for a visible window whose title matches $1, and prints its id
  until xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 | grep .; do sleep 0.1; done
}
main=$(window '^ルピカ時計  ')
measure "no alarm set:"
xdotool windowactivate --sync "$main" key Return
set=$(window '^アラーム設定$')
xdotool mousemove --window "$set" 50 50 click 1 type 7
xdotool mousemove --window "$set" 130 50 click 1 type 05
xdotool mousemove --window "$set" 272 60 click 1
measure "alarm set (held, woken):"
