#!/usr/bin/env bash
# real_services.sh PROGRAM - the clock started from a shell, as a new user would, against Debian's portal with
# its gtk backend and GNOME's session manager (a session of no components) on a private bus under Xvfb: GNOME
# lists its hold with the suspend flag and the alarm as the reason, one hold after a second setting; with the
# portal alone, whose backend then holds off idleness only, one line says no desktop holds.
set -u
gs=/usr/libexec/gnome-session-binary portal=/usr/libexec/xdg-desktop-portal
for tool in xvfb-run dbus-run-session dbus-daemon dbus-send xdotool openbox $gs $portal /usr/libexec/xdg-desktop-portal-gtk; do
    command -v $tool >/dev/null || { echo "SKIP: $tool is not installed (scripts/setup-deps.sh test installs it)"; exit 77; }
done
[ -n "${REAL_INNER:-}" ] || exec env REAL_INNER=1 xvfb-run -a -s "-screen 0 1024x768x24" dbus-run-session -- bash "$0" "$@"
HOME=$(mktemp -d)
export HOME XDG_RUNTIME_DIR=$HOME/run XDG_CONFIG_HOME=$HOME/config XDG_CONFIG_DIRS=$HOME/none XDG_CURRENT_DESKTOP=GNOME
export LC_ALL=C.UTF-8 DBUS_SYSTEM_BUS_ADDRESS=unix:path=$HOME/run/system
mkdir -p -m 700 "$XDG_RUNTIME_DIR" && mkdir -p "$XDG_CONFIG_HOME/gnome-session/sessions"
printf '[GNOME Session]\nName=none\nRequiredComponents=\n' >"$XDG_CONFIG_HOME/gnome-session/sessions/none.session"
trap 'kill $(jobs -p) 2>/dev/null' EXIT
fail() { echo "FAIL: $*"; exit 1; }
# GNOME's session manager will not run without a system bus: one of the test's own, empty.
sed "s|<listen>.*</listen>|<listen>$DBUS_SYSTEM_BUS_ADDRESS</listen>|; s|<type>session|<type>system|" \
    "$(dirname "$0")/bus.conf" >"$HOME/system.conf"
dbus-daemon --config-file="$HOME/system.conf" --nofork &
openbox --sm-disable >/dev/null 2>&1 &
window() { for _ in $(seq 100); do xdotool search --onlyvisible --name "$1" | head -n 1 | grep . && return; sleep 0.1; done; fail "no window $1"; }
gnome() { # METHOD [ARGUMENT], or INHIBITOR METHOD
    local object=/org/gnome/SessionManager interface=org.gnome.SessionManager
    [[ $1 == /* ]] && object=$1 interface+=.Inhibitor && shift
    dbus-send --session --print-reply --dest=org.gnome.SessionManager $object $interface.$1 "${@:2}"
}
# Sets the alarm of the clock started last to $1:$2 through its windows.
arm() {
    xdotool windowactivate --sync "$main" key Return
    local set=$(window '^アラーム設定$')
    for at in "50 $1" "130 $2"; do xdotool mousemove --window "$set" ${at% *} 50 click 1 type "${at#* }"; done
    xdotool mousemove --window "$set" 272 60 click 1
}
clock() { "$1" --silent 2>"$HOME/said" & pid=$!; main=$(window '^ルピカ時計  '); }

$gs --builtin --session=none >"$HOME/gnome.log" 2>&1 &
session=$!
for _ in $(seq 100); do gnome IsInhibited uint32:4 >/dev/null 2>&1 && break; sleep 0.1; done
gnome IsInhibited uint32:4 >/dev/null 2>&1 || { cat "$HOME/gnome.log"; echo "SKIP: GNOME's session manager did not start"; exit 77; }
clock "$1"
for alarm in "7 05" "8 10"; do
    arm $alarm
    sleep 2
    holds=$(gnome GetInhibitors | grep -o '/org/gnome/SessionManager/Inhibitor[0-9]*')
    [ "$(wc -w <<<"$holds")" -eq 1 ] || fail "GNOME lists $(wc -w <<<"$holds") holds for the alarm ${alarm/ /:}: $(cat "$HOME/said")"
    told=$(gnome "$holds" GetFlags | tail -n 1)$(gnome "$holds" GetReason | tail -n 1)
    [[ $told =~ uint32\ 4.*string\ \"鈴\ ${alarm/ /:}\" ]] || fail "GNOME lists the hold as $told"
done
kill $pid; wait $pid
[ -s "$HOME/said" ] && fail "with a hold the clock said: $(cat "$HOME/said")"
kill $session && wait $session 2>/dev/null

# The portal alone: its gtk backend turns to org.freedesktop.ScreenSaver, and the request is never granted.
clock "$1"
arm 7 05
sleep 8
[ "$(grep -c 'no desktop would hold off its automatic suspend for the alarm' "$HOME/said")" -eq 1 ] ||
    fail "with the portal alone the clock said: $(cat "$HOME/said")"
echo passed
