#!/usr/bin/env bash
# settings.sh - whether setting the alarm again and again makes the program keep memory: the alarm is set
# through the windows N times as a person would (鈴, the hour, the minute, 決), and after each setting the
# program's private memory (Private_Dirty of /proc/PID/smaps_rollup, kB) is printed, then the growth per
# setting over the second half of the run, where a clock that keeps nothing shows about 0.
# Usage: bench/settings.sh [N] [PROGRAM]   (40 settings; builds the release preset's program unless one is named)
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${SETTINGS_UNDER_XVFB:-}" ]; then
  scripts/setup-deps.sh test
  if [ $# -lt 2 ]; then
    cmake --preset release >/dev/null
    cmake --build --preset release --target rupika-tokei >/dev/null
  fi
  SETTINGS_UNDER_XVFB=1 exec dbus-run-session -- xvfb-run -a -s "-screen 0 1024x768x24" \
    "$0" "${1:-40}" "${2:-$PWD/build/release/app/rupika-tokei}"
fi
n=$1
HOME=$(mktemp -d)
export HOME XDG_RUNTIME_DIR=$HOME LC_ALL=C.UTF-8 TZ=UTC
trap 'kill $(jobs -p) 2>/dev/null || true; cat "$HOME/err" >&2; rm -rf "$HOME"' EXIT
window() {
  local until=$((SECONDS + 60))
  until xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1; do
    [ $SECONDS -lt $until ] || { echo "settings: no window '$1'" >&2; exit 1; }
    sleep 0.05
  done
}
# The window manager may not be managing a new window yet.
activate() { until xdotool windowactivate --sync "$1" >/dev/null 2>&1; do sleep 0.1; done; }
private_kb() { awk '/^Private_Dirty:/ {print $2}' "/proc/$1/smaps_rollup"; }

openbox --sm-disable >/dev/null 2>&1 &
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do sleep 0.05; done
"$2" --silent >/dev/null 2>"$HOME/err" &
pid=$!
main=$(window '^ルピカ時計  ')
sleep 2
# An hour ago: the alarm waits for tomorrow and never rings during the run.
hour=$(date -d '-1 hour' +%-H)
echo "before any setting: $(private_kb $pid) kB"
for i in $(seq "$n"); do
  activate "$main"
  xdotool key Return # 鈴 has the focus whenever the main window is active
  set=$(window '^アラーム設定$')
  xdotool mousemove --window "$set" 50 50 click 1 type "$hour"
  xdotool mousemove --window "$set" 130 50 click 1 type "$(printf %02d $((i % 60)))"
  xdotool mousemove --window "$set" 272 60 click 1
  while xdotool search --onlyvisible --name '^アラーム設定$' >/dev/null 2>&1; do sleep 0.05; done
  sleep 0.3 # the window is deleted on the next pass of the event loop
  echo "setting $i: $(private_kb $pid) kB"
done | tee "$HOME/figures"
awk -v n="$n" '/^setting/ {kb[$2 + 0] = $3} END {
  h = int(n / 2); if (h < 1) exit
  printf "growth over settings %d to %d: %.1f kB per setting\n", h, n, (kb[n] - kb[h]) / (n - h) }' "$HOME/figures"
