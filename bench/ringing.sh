#!/usr/bin/env bash
# ringing.sh - what the alarm costs while it rings, and how soon a confirmed exit ends the program when the
# sound server hangs: CPU of the program (µs per second of 20 s of ringing), the sound server's sample
# cache meanwhile, and the time from OK in the exit question to the program's end with the server stopped.
# Usage: bench/ringing.sh [PROGRAM]   (builds the release preset's program unless one is named)
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${RINGING_UNDER_XVFB:-}" ]; then
  scripts/setup-deps.sh test
  if [ $# -eq 0 ]; then
    cmake --preset release >/dev/null
    cmake --build --preset release --target rupika-tokei >/dev/null
    set -- "$PWD/build/release/app/rupika-tokei"
  fi
  RINGING_UNDER_XVFB=1 exec dbus-run-session -- xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
HOME=$(mktemp -d)
export HOME XDG_RUNTIME_DIR=$HOME LC_ALL=C.UTF-8 TZ=UTC
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$HOME"' EXIT
cpu_ns() { cat /proc/"$1"/task/*/schedstat | awk '{n += $1} END {print n}'; }
window() { until xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1; do sleep 0.05; done; }

openbox --sm-disable >/dev/null 2>&1 &
pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no -L module-native-protocol-unix \
  -L module-null-sink >/dev/null 2>&1 &
pa=$!
until pactl info >/dev/null 2>&1; do sleep 0.05; done
# The program's wall clock jumps to just before the alarm once it is set (libfaketime, by offset).
echo +0 >"$HOME/clock"
LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1 FAKETIME_TIMESTAMP_FILE=$HOME/clock \
  FAKETIME_NO_CACHE=1 FAKETIME_DONT_FAKE_MONOTONIC=1 "$1" >/dev/null 2>&1 &
pid=$!
main=$(window '^ルピカ時計  ')
xdotool windowactivate --sync "$main" key Return
set=$(window '^アラーム設定$')
xdotool mousemove --window "$set" 50 50 click 1 type 7
xdotool mousemove --window "$set" 130 50 click 1 type 05
xdotool mousemove --window "$set" 272 60 click 1
printf '%+d\n' $(($(date -d "$(date +%F) 07:04:59" +%s) - $(date +%s))) >"$HOME/clock"
box=$(window '^ルピカ$')
sleep 3
c0=$(cpu_ns "$pid")
sleep 20
c1=$(cpu_ns "$pid")
echo "CPU while ringing: $(( (c1 - c0) / 20000 )) µs/s"
echo "sound server while ringing: $(pactl stat | grep -i 'sample cache')"
xdotool windowactivate --sync "$box" key Return
sleep 1
kill -STOP "$pa"
xdotool windowactivate --sync "$main" key alt+F4
ask=$(window '^終了確認$')
sleep 0.5
xdotool windowactivate --sync "$ask" key Return
asked=$EPOCHREALTIME
while kill -0 "$pid" 2>/dev/null; do sleep 0.01; done
awk -v a="$asked" -v e="$EPOCHREALTIME" 'BEGIN {printf "from OK in the exit question to the end, server hung: %.0f ms\n", (e - a) * 1000}'
kill -CONT "$pa"
