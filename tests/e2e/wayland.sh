#!/usr/bin/env bash
# wayland.sh PROGRAM WINDOWS_TEST - on a Wayland desktop that also offers X (Xwayland), the clock must run
# through X, the only place its alarm box can stay on top; on Wayland alone it must still start, and its
# alarm must also reach the desktop's notification service (recorded off the test's own session bus).
set -u
for tool in weston Xwayland xdotool; do command -v $tool >/dev/null || { echo "SKIP: no $tool"; exit 77; }; done
unset DISPLAY QT_QPA_PLATFORM
# Weston binds Xwayland there but does not make the folder, which only a booted system (or an X server
# run before) has made; in a container or chroot it may be missing.
mkdir -p -m 1777 /tmp/.X11-unix 2>/dev/null
export XDG_RUNTIME_DIR=$(mktemp -d) WAYLAND_DISPLAY=wayland-rupika LC_ALL=C.UTF-8 # mktemp makes it 0700
log=$XDG_RUNTIME_DIR/weston.log pid=
trap 'kill $pid $weston 2>/dev/null; wait; rm -rf "$XDG_RUNTIME_DIR"' EXIT
fail() { echo "FAIL: $*"; cat "$log"; exit 1; }
within10s() { for _ in $(seq 100); do "$@" >/dev/null 2>&1 && return; sleep 0.1; done; false; }

weston --backend=headless-backend.so --xwayland --socket=$WAYLAND_DISPLAY --idle-time=0 --log="$log" & weston=$!
within10s grep -q 'xserver listening on display :' "$log" || fail "weston offered no Xwayland"
x=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$log")
DISPLAY=$x "$1" & pid=$!
within10s env DISPLAY=$x xdotool search --name '^ルピカ時計' || fail "with X and Wayland, the clock has no X window"
kill $pid && wait $pid
"$1" & pid=$! # Wayland alone; without qt6-wayland Qt would abort here
sleep 2
kill -0 $pid || fail "on Wayland alone the program ended at once"
dbus-monitor --session "interface=org.freedesktop.Notifications,member=Notify" >"$XDG_RUNTIME_DIR/calls" 2>&1 &
monitor=$!
sleep 0.5
# Whole stacks, so that qtwayland.supp can tell Qt's own leftovers from the program's.
QT_QPA_PLATFORM=wayland LSAN_OPTIONS=suppressions=$(dirname "$0")/qtwayland.supp \
    ASAN_OPTIONS="${ASAN_OPTIONS:-}:fast_unwind_on_malloc=0" "$2" alarmBoxOpensOnceWhileTheClockRunsBehindIt >/dev/null 2>&1 ||
    fail "the alarm test failed on Wayland"
sleep 0.5
kill $monitor
grep -q 'string "ルピカ"' "$XDG_RUNTIME_DIR/calls" || fail "on Wayland alone the alarm raised no notification"
# Critical, as a box that cannot stay on top needs: a normal one may wait unseen in the desktop's list.
grep -A 1 'string "urgency"' "$XDG_RUNTIME_DIR/calls" | grep -q 'byte 2' ||
    fail "on Wayland alone the alarm's notification was not critical: $(grep -A 1 'string "urgency"' "$XDG_RUNTIME_DIR/calls")"
