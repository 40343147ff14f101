#!/usr/bin/env bash
# e2e.sh PROGRAM SLEEPSHIM [POWER_STANDINS] - a morning as a person lives it, on a faked clock: set an alarm a little ahead with a
# message of one's own, see exactly one alarm box at the minute, then close the window through the
# window manager, cancel once, and confirm. Mistaken options and a dead display are answered first, and
# a bare X session without a session bus still shows the clock. Where a PulseAudio server can be started,
# its only sink is recorded: the alarm is heard until OK, and again after the server restarts or starts
# late, the exit question too, and --silent is silent; a server that hangs rings the bell, with one line
# why, and a hung server does not hold the exit; without the theme's alarm the clock's own is heard, and
# through ALSA, too, OK silences it at once. An alarm missed asleep or stalled is told as such, in a box
# where no notification service runs.
# With POWER_STANDINS (for GNOME's session manager and the service manager) as well: the machine is kept
# awake and woken for the alarm meanwhile, and the wake taken back at the end, also when ended by SIGTERM.
set -u
faketime=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
for tool in xvfb-run xdotool openbox wmctrl xclip xkbevd xmessage xprop; do
    command -v $tool >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
[ -r $faketime ] || { echo "SKIP: libfaketime is not installed"; exit 77; }
. "$(dirname "$0")/lib.sh"

if [ -z "${E2E_DISPLAY:-}" ]; then
    # options: the arguments, parted by commas; said: a pattern of what it prints
    while read -r status options said; do
        IFS=, read -ra option <<<"$options"
        out=$(env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:97 "$1" "${option[@]}" 2>&1)
        [ $? -eq "$status" ] && [[ $out =~ $said ]] || fail "${option[*]} answered \"$out\""
    done <<'EOF'
1 --bogus Unknown option 'bogus'.
1 --screenshot Missing value after '--screenshot'.
1 stray Unexpected argument 'stray'.
0 --version ^rupika-tokei [0-9]+\.[0-9][0-9]$
1 -reverse ^rupika-tokei: no display to open.*--screenshot FILE renders the clock without one$
1 -title,x,-name,x,--testability,-icon,x,-style=fusion ^rupika-tokei: no display to open
1 -title,x,stray Unexpected argument 'stray'.
0 --help-all --qwindowtitle <title> +The main window's title until its first[[:space:]]+tick
0 --screenshot=/tmp/rupika-e2e.png ^/tmp/rupika-e2e.png$
0 --platform=offscreen,--screenshot,/tmp/rupika-e2e.png ^/tmp/rupika-e2e.png$
0 -platform=offscreen,-screenshot=/tmp/rupika-e2e.png ^/tmp/rupika-e2e.png$
0 -platform=offscreen,--platformpluginpath=/nonexistent,--platformtheme=none,--plugin=none,--qmljsdebugger=port:1,--qwindowgeometry=9x9+1+1,--qwindowicon=none,--qwindowtitle=x,--session=x,--style=fusion,-stylesheet=/dev/null,--screenshot,/tmp/rupika-e2e.png ^/tmp/rupika-e2e.png$
1 --display=:96,--geometry=9x9+1+1,--title=x,--icon=none,--name=x,-visual=33 ^rupika-tokei: no display to open
EOF
    exec env E2E_DISPLAY=1 xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
export LC_ALL=C.UTF-8 TZ=UTC
# A user of the test's own: libcanberra's lookup cache and the sound server's socket are nobody else's.
HOME=$(mktemp -d)
export HOME XDG_CACHE_HOME=$HOME/.cache XDG_RUNTIME_DIR=$HOME/run
mkdir -m 700 "$XDG_RUNTIME_DIR" "$HOME/empty"

# The program's wall clock, set by offset so that it moves on from there; its real (monotonic) clock is
# left alone, so a jump looks like a clock set by hand, never like sleep.
clockfile=$HOME/faketime
at() { printf '%+d\n' $(($(date -d "$1" +%s) - $(date +%s))) >"$clockfile"; }
# What the program says goes to $HOME/said; `mark` remembers how much it had said, `since` prints what came after.
mark() { said=$(wc -l <"$HOME/said"); }
since() { tail -n +$((said + 1)) "$HOME/said"; }
# Waits up to $2 s for a line matching $1 after the mark.
tells() { for _ in $(seq $(($2 * 10))); do since | grep -q -- "$1" && return; sleep 0.1; done; false; }
run() { # ENVIRONMENT... : starts the program, on that clock, and waits for its window
    env LD_PRELOAD=$shim:$faketime SLEPT_FILE=$HOME/slept FAKETIME_TIMESTAMP_FILE=$clockfile FAKETIME_NO_CACHE=1 \
        FAKETIME_DONT_FAKE_MONOTONIC=1 ASAN_OPTIONS="${ASAN_OPTIONS:-}:verify_asan_link_order=0" "$@" "$prog" \
        2>>"$HOME/said" &
    pid=$!
    main=$(window '^ルピカ時計  ' 10)
}
arm() { # sets an alarm of 7:05 through the windows
    xdotool windowactivate --sync "$main" key Return # 鈴 has the focus from the start
    set=$(window '^アラーム設定$' 5)
    click "$set" 50 50 && xdotool type 7
    click "$set" 130 50 && xdotool type 05
    click "$set" 272 60
}
# Moves the clock to just before 7:05 on day $1, waits $2 s (10) for the alarm's box: `opened` is when it showed.
due() { at "$1 07:04:59" && box=$(window '^ルピカ$' "${2:-10}") && opened=$EPOCHREALTIME; }
ring() { arm && due "$1"; } # the same, with an alarm of 7:05 set first
start() { at "2026-12-06 07:00:00" && run "$@"; } # the program anew, early on the morning of the 6th
dismiss() { xdotool windowactivate --sync "$box" key Return && dismissed=$EPOCHREALTIME; }
# Closes window $1 through the window manager, and answers the exit question with the keys that follow.
quit() { wmctrl -i -c "$1" && xdotool windowactivate --sync "$(window '^終了確認$' 5)" "${@:2}"; }

# The display's bells, each as the time it rang, counted by xkbevd.
bells() { awk -v from="$1" -v to="$2" '$1 > from && $1 <= to' "$HOME/bells" 2>/dev/null | wc -l; }
# Fails with $3 unless the bell rings within $2 s of $1 and then about every second, twice more.
rings() {
    local first
    for _ in $(seq $(($2 * 10 + 20))); do
        first=$(awk -v from="$1" '$1 > from {print; exit}' "$HOME/bells" 2>/dev/null)
        [ -n "$first" ] && break
        sleep 0.1
    done
    echo "$3: the first bell ${first:+$(plus "$first" "-$1") s after}"
    [ -n "$first" ] && awk -v f="$first" -v h="$1" -v w="$2" 'BEGIN {exit !(f - h <= w)}' || { miss "$3: too late"; return; }
    sleep 2.6
    [ "$(bells "$first" "$(plus "$first" 2.5)")" -ge 2 ] || miss "$3: the bell did not ring on every second"
}

# The program, window manager and sound server, whatever happened; a server stopped by a test first goes on,
# or it would never hear the end.
trap 'kill -CONT $(jobs -p) 2>/dev/null; kill $(jobs -p) 2>/dev/null' EXIT
prog=$1 shim=$2
: >"$HOME/said"
openbox --sm-disable >/dev/null 2>&1 &
printf 'Bell() shell "date +%%s.%%N >>%s"\n' "$HOME/bells" >"$HOME/xkbevd.cf"
xkbevd -cfg "$HOME/xkbevd.cf" >/dev/null 2>&1 &
server
sleep 0.5
# A bare X session: libdbus keeps a buffer when it finds no bus, which only the suppression in libdbus.supp
# forgives. The year 2263 lies past where a count of nanoseconds overflows.
env -u DBUS_SESSION_BUS_ADDRESS LSAN_OPTIONS=suppressions=$(dirname "$0")/libdbus.supp LD_PRELOAD=$faketime \
    FAKETIME="@2263-01-01 00:00:00" ASAN_OPTIONS="${ASAN_OPTIONS:-}:verify_asan_link_order=0" "$prog" --silent &
pid=$!
bare=$(window '^ルピカ時計  0:00:[01]' 10)
asked=$EPOCHREALTIME
quit "$bare" key Return
ended 5 "without a session bus the program did not end"
silent "$asked" "$(plus "$asked" 1)" "with --silent the exit question was heard"

# ---- A morning: an alarm with a message of one's own, heard until OK, through a sound server that restarts.
dbus-monitor --session member=Inhibit member=StartTransientUnit member=StopUnit >"$HOME/power" 2>&1 &
if [ -n "${3:-}" ]; then # a service manager for the wake-up timer
    "$3" &
    for _ in $(seq 50); do
        dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
            string:org.freedesktop.systemd1 | grep -q true && break
        sleep 0.1
    done
fi
at "2026-12-06 07:04:45"
run
xdotool windowactivate --sync "$main" key Return
set=$(window '^アラーム設定$' 5)
sleep 0.3 # Centred as a person sees it: the middle of its frame, title bar included, on the screen's.
middle=$(xwininfo -id "$set" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4}
    /Relative upper-left X/ {b = $4} /Relative upper-left Y/ {t = $4} /Width/ {w = $2} /Height/ {h = $2}
    END {print int(x - b + (w + 2 * b) / 2) "," int(y - t + (h + t + b) / 2)}')
[[ $middle =~ ^51[1-3],38[3-5]$ ]] || fail "アラーム設定's frame is centred at $middle, not at 512,384"
click "$set" 50 50 && xdotool type 7
click "$set" 130 50 && xdotool type 05
click "$set" 216 60
msg=$(window '^メッセージ設定$' 5)
xdotool key ctrl+a && xdotool type "Wake up" && xdotool key ctrl+a ctrl+c # the caret starts in the text box
[ "$(xclip -o -selection clipboard)" == "Wake up" ] || fail "the message field does not hold what was typed"
click "$msg" 264 60
click "$(window '^アラーム設定$' 5)" 272 60
at "2026-12-06 07:04:58"
box=$(window '^ルピカ$' 10)
opened=$EPOCHREALTIME
[[ $(clock) == 7:05:0[0-3] ]] || fail "the alarm box came at $(clock), not at 7:05:00" # read a moment later
heard "$opened" 2 "the alarm was not heard"
heard "$(plus "$opened" 6.6)" 1 "the alarm did not start over" # the theme's alarm lasts about six seconds
[ "$(xdotool search --onlyvisible --name '^ルピカ$' | wc -l)" -eq 1 ] || fail "more than one alarm box"
# Covered by a full-screen window that takes the focus, the box asks for attention while it rings.
xmessage -name cover -geometry 1024x768+0+0 cover >/dev/null 2>&1 & cover=$!
xdotool windowactivate --sync "$(window '^cover$' 5)" 2>/dev/null
for _ in $(seq 30); do xprop -id "$box" _NET_WM_STATE | grep -q DEMANDS_ATTENTION && break; sleep 0.1; done
xprop -id "$box" _NET_WM_STATE | grep -q DEMANDS_ATTENTION ||
    miss "the ringing box, covered, did not ask for attention: $(xprop -id "$box" _NET_WM_STATE)"
kill $cover
if [ -n "$sound" ]; then
    # A server that hangs while the alarm rings: the bell within 3 s, with one line why, until it answers again.
    mark
    kill -STOP "$pa"
    rings "$EPOCHREALTIME" 3 "the sound server hung while the alarm rang"
    [ "$(since | grep -c 'no sound (the sound server does not answer)')" -eq 1 ] ||
        miss "a hung server was not told in one line: $(since)"
    resume
    heard "$answered" 3 "the alarm was not heard again after the hung server answered" RMS 0.05 "the hung server answered"
    tells 'sound is back' 15 || miss "a server that answered again was not told back: $(since)"
    # An update, a crash: the server goes away while the alarm rings, and comes back; one outage, one line.
    mark
    stop_server
    sleep 1.5
    server
    heard "$answered" 2 "the alarm was not heard again after the sound server came back"
    tells 'sound is back' 15
    [ "$(since | grep -c '^rupika-tokei: no sound')$(since | grep -c 'sound is back')" == 11 ] ||
        miss "a server that went away and came back was not told in one line and one back: $(since)"
fi
dismiss
silent "$(plus "$dismissed" 0.5)" "$(plus "$dismissed" 1.5)" "the alarm went on after OK"

# The next day's alarm opens its box on time before the server is up, and the day after beside a server hung
# before it: the bell and its line from the first, then heard once the server answers.
stop_server
due 2026-12-07
sleep 1
mark
server
heard "$answered" 2 "an alarm whose box opened before the sound server started was not heard"
[ -z "$sound" ] || tells 'sound is back' 15 || miss "a server that started late was not told back: $(since)"
dismiss
if [ -n "$sound" ]; then
    mark
    kill -STOP "$pa"
    due 2026-12-08 3
    rings "$opened" 3 "the sound server hung before the alarm"
    tells 'no sound (the sound server does not answer)' 1 || miss "a server hung before the alarm was not told with the first bell: $(since)"
    resume
    heard "$answered" 3 "the alarm was not heard once a server hung before it answered" RMS 0.05 \
        "the server hung before the alarm answered"
    tells 'sound is back' 15 || miss "a server hung before the alarm was not told back: $(since)"
    dismiss
fi

# A window made full screen over the ringing box, with the focus, covers even a box kept on top: within a few
# seconds the box is above it again, where a click on its OK silences the alarm.
due 2026-12-09
xmessage -name cover cover >/dev/null 2>&1 & cover=$(window '^cover$' 5)
xdotool windowactivate --sync "$cover" && wmctrl -i -r "$cover" -b add,fullscreen && covered=$EPOCHREALTIME
for _ in $(seq 50); do [ "$(xdotool getactivewindow)" == "$box" ] && break; sleep 0.1; done
echo "the box came back over the full-screen window in $(plus "$EPOCHREALTIME" "-$covered") s"
eval "$(xdotool getwindowgeometry --shell "$box")"
click "$box" $((WIDTH / 2)) $((HEIGHT - 24)) && clicked=$EPOCHREALTIME
sleep 0.5
[ -z "$(xdotool search --onlyvisible --name '^ルピカ$')" ] || miss "OK of the box under a full-screen window was unreached"
silent "$(plus "$clicked" 0.5)" "$(plus "$clicked" 1.5)" "the alarm went on after OK over a full-screen window"
wmctrl -i -c "$cover"

# A server that pauses again and again (1.5 s stopped, 1.5 s going, for 30 s) while the alarm rings is one
# outage, told the same way every time: one line, the bell meanwhile, and back once it has answered steadily.
if [ -n "$sound" ]; then
    due 2026-12-10
    mark && from=$EPOCHREALTIME
    for _ in $(seq 10); do kill -STOP "$pa" && sleep 1.5 && kill -CONT "$pa" && sleep 1.5; done
    [ "$(bells "$from" "$EPOCHREALTIME")" -ge 5 ] || miss "the bell did not ring while the server stuttered"
    record && tells 'sound is back' 15
    told=$(since | grep sound | sed 's/^rupika-tokei: //; s/;.*//' | paste -sd /)
    [ "$told" == "no sound (the sound server does not answer)/sound is back" ] ||
        miss "a stuttering server was told as: $told"
    dismiss
fi

# The exit question is heard; with a server that hangs, a confirmed exit still ends the program at once.
asked=$EPOCHREALTIME
quit "$main" # the close box's request, delivered by the window manager
heard "$asked" 1.5 "the exit question was not heard" Maximum 0.01 # its sound lasts 60 ms
xdotool key Escape
sleep 0.5
alive || fail "Cancel in the exit question ended the program"
[ -n "$pa" ] && kill -STOP "$pa"
quit "$main" key Return
ended 1 "the program still runs 1 s after OK in the exit question"
[ -n "$pa" ] && kill -CONT "$pa"
# The machine was kept from suspending itself, for the alarm and the window named, and woken for it until the
# program ended.
hold='interface=org.gnome.SessionManager; member=Inhibit string "[^"]+" uint32 [1-9][0-9]* string "鈴 7:05" uint32 4 '
tr -s ' \n' ' ' <"$HOME/power" | grep -Eq "$hold" ||
    miss "the desktop was not asked to hold off its suspend for the alarm: $(cat "$HOME/power")"
for call in StartTransientUnit ${3:+StopUnit}; do
    grep -A 1 "member=$call" "$HOME/power" | grep -q "string \"rupika-tokei-wake-$pid-1.timer\"" ||
        miss "no $call of the wake-up timer: $(cat "$HOME/power")"
done

# Ended by SIGTERM (a logout, `kill`): as by a confirmed exit, with status 0 and the wake-up timer stopped.
if [ -n "${3:-}" ]; then
    start && arm
    for _ in $(seq 50); do grep -q "rupika-tokei-wake-$pid-1.timer" "$HOME/power" && break; sleep 0.1; done
    kill -TERM "$pid" && ended 2 "the program still runs 2 s after SIGTERM"
    grep -A 1 "member=StopUnit" "$HOME/power" | grep -q "string \"rupika-tokei-wake-$pid-1.timer\"" ||
        miss "SIGTERM left the wake-up timer: $(grep -A 1 member=StopUnit "$HOME/power")"
fi

# An alarm passed unrung opens no alarm box, late, but is told once: through the desktop's notifications, and,
# as no notification service runs here, in a plain box of the clock's own and a line. The real clocks moved
# with the wall clock are a program that stood still; the boot clock alone ahead, a machine that slept.
dbus-monitor --session "interface=org.freedesktop.Notifications,member=Notify" >"$HOME/notified" 2>&1 &
for way in "stood still:FAKETIME_DONT_FAKE_MONOTONIC=0:0:鈴 7:05 は過ぎました" \
    "slept:FAKETIME_DONT_FAKE_MONOTONIC=1:3600:鈴 7:05 はスリープ中に過ぎました"; do
    IFS=: read -r how setting slept told <<<"$way"
    : >"$HOME/notified"
    echo 0 >"$HOME/slept"
    mark
    start $setting
    arm
    echo "$slept" >"$HOME/slept"
    at "2026-12-06 08:00:00"
    notice=$(window '^ルピカ時計$' 5)
    sleep 1.5
    [ "$(grep -c "string \"$told\"" "$HOME/notified")" -eq 1 ] ||
        miss "an alarm missed as the program $how was not notified once as '$told': $(grep -A 5 'member=Notify' "$HOME/notified")"
    [ "$(since | grep -c "^rupika-tokei: $told (no desktop notification")" -eq 1 ] ||
        miss "an alarm missed as the program $how was not told once on stderr: $(since)"
    [ -z "$(xdotool search --onlyvisible --name '^ルピカ$')" ] || miss "an alarm missed as the program $how opened an alarm box"
    xdotool windowactivate --sync "$notice" key Return
    kill "$pid" && wait "$pid"
done

# Without the theme's alarm the clock's own is heard; through ALSA, which cannot cut a play short, OK
# still silences it at once.
if [ -n "$sound" ]; then
    stop_server
    server
    # (libcanberra's lookup cache would remember where the theme's alarm was.)
    for setting in "XDG_DATA_DIRS=$HOME/empty XDG_DATA_HOME=$HOME/empty XDG_CACHE_HOME=$HOME/empty" \
        CANBERRA_DRIVER=alsa; do
        start $setting
        ring 2026-12-06
        heard "$opened" 2 "with $setting the alarm was not heard"
        sleep 1
        dismiss
        silent "$(plus "$dismissed" 0.5)" "$(plus "$dismissed" 1.5)" "with $setting the alarm went on after OK"
        kill "$pid" && wait "$pid"
    done
    # The end of the program while the sound system calls back: the server killed as OK is pressed, then the
    # exit confirmed at once (under the sanitizers, nothing may be touched that the end destroyed).
    start
    ring 2026-12-06
    heard "$opened" 2 "the alarm was not heard before the end"
    kill "$pa" & dismiss
    wait "$pa" 2>/dev/null
    pa=
    quit "$main" key Return
    ended 2 "the program still runs 2 s after OK beside a server that went away"
fi
[ -z "$missed" ] || exit 1
echo "passed"
