#!/usr/bin/env bash
# e2e.sh PROGRAM - a morning as a person lives it, on a faked clock: set an alarm a little ahead with a
# message of one's own, see exactly one alarm box at the minute, then close the window through the
# window manager, cancel once, and confirm. Mistaken options and a dead display are answered first, and
# a bare X session without a session bus still shows the clock. Where a PulseAudio server can be started,
# its only sink is recorded: the alarm is heard until OK, the exit question too, and --silent is silent.
set -u
faketime=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
for tool in xvfb-run xdotool openbox wmctrl xclip; do
    command -v $tool >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
[ -r $faketime ] || { echo "SKIP: libfaketime is not installed"; exit 77; }
fail() {
    echo "FAIL: $*"
    [ -n "${DISPLAY:-}" ] && import -window root "${TMPDIR:-/tmp}/rupika-e2e-fail.png" 2>/dev/null
    exit 1
}

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
0 --help-all --qwindowtitle <title> +The first window's title
0 --screenshot=/tmp/rupika-e2e.png ^/tmp/rupika-e2e.png$
EOF
    exec env E2E_DISPLAY=1 xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
export LC_ALL=C.UTF-8 TZ=UTC
# Waits up to $2 s for a visible window whose title matches $1, and prints its id.
window() {
    for _ in $(seq $(($2 * 10))); do
        xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 | grep . && return
        sleep 0.1
    done
    fail "no window titled $1 within $2 s"
}
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }
clock() { xdotool getwindowname "$main" | sed 's/^ルピカ時計  //'; }
alive() { kill -0 "$pid" 2>/dev/null; }

now() { awk -v s="${start:-0}" -v n="$(date +%s.%N)" 'BEGIN {printf "%.2f", n - s}'; }
plus() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a + b}'; }
# Fails unless the recording from $1 to $2 s has its $3 amplitude (RMS or Maximum) $4 (> or <) $5.
level() {
    [ -n "$start" ] || return 0
    local got
    got=$(sox -t raw -r 48000 -e signed -b 16 -c 1 "$XDG_RUNTIME_DIR/rec.raw" -n trim "$1" "=$2" stat 2>&1 |
        awk -v what="$3" '$1 == what && $2 == "amplitude:" {print $3}')
    awk -v g="$got" -v l="$5" "BEGIN {exit !(g $4 l)}" || fail "$6: $3 amplitude $got from $1 to $2 s"
}

trap 'kill $(jobs -p) 2>/dev/null' EXIT # the program, window manager and sound server, whatever happened
openbox --sm-disable >/dev/null 2>&1 &
start=
if command -v pulseaudio >/dev/null && command -v parec >/dev/null && command -v sox >/dev/null; then
    export XDG_RUNTIME_DIR=$(mktemp -d) # the server's socket, and the recording
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no -L module-native-protocol-unix \
        -L "module-null-sink sink_name=rec" >/dev/null 2>&1 &
    for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
    parec --latency-msec=20 -d rec.monitor --raw --format=s16le --channels=1 --rate=48000 >"$XDG_RUNTIME_DIR/rec.raw" &
    for _ in $(seq 100); do [ -s "$XDG_RUNTIME_DIR/rec.raw" ] && break; sleep 0.05; done
    # The recording's second 0, however long the stream took to start.
    start=$(awk -v n="$(date +%s.%N)" -v b="$(stat -c %s "$XDG_RUNTIME_DIR/rec.raw")" 'BEGIN {printf "%.2f", n - b / 96000}')
fi
sleep 0.5
# libdbus keeps a buffer when it finds no bus, which only the suppression in libdbus.supp forgives. The
# year 2263 lies past where a count of nanoseconds overflows.
env -u DBUS_SESSION_BUS_ADDRESS LSAN_OPTIONS=suppressions=$(dirname "$0")/libdbus.supp LD_PRELOAD=$faketime \
    FAKETIME="@2263-01-01 00:00:00" ASAN_OPTIONS="${ASAN_OPTIONS:-}:verify_asan_link_order=0" "$1" --silent &
pid=$!
wmctrl -i -c "$(window '^ルピカ時計  0:00:[01]' 10)"
asked=$(now)
xdotool windowactivate --sync "$(window '^終了確認$' 5)" key Return
wait "$pid" || fail "without a session bus the program ended with status $?"
sleep 1
level "$asked" "$(now)" Maximum "<" 0.001 "with --silent the exit question was heard"
LD_PRELOAD=$faketime FAKETIME="@2026-12-06 07:04:45" ASAN_OPTIONS="${ASAN_OPTIONS:-}:verify_asan_link_order=0" "$1" &
pid=$!
main=$(window '^ルピカ時計  7:' 10)
xdotool windowactivate --sync "$main" key Return # 鈴 has the focus from the start
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

box=$(window '^ルピカ$' 25)
opened=$(now)
[[ $(clock) == 7:05:0[01] ]] || fail "the alarm box came at $(clock), not at 7:05:00"
sleep 2
[ "$(xdotool search --onlyvisible --name '^ルピカ$' | wc -l)" -eq 1 ] || fail "more than one alarm box"
sleep 5.5 # the alarm sound lasts about six seconds, and starts over
xdotool windowactivate --sync "$box" key Return
dismissed=$(now)
sleep 2
level "$(plus "$opened" 0.5)" "$(plus "$opened" 2.5)" RMS ">" 0.05 "the alarm was not heard"
level "$(plus "$opened" 6.6)" "$(plus "$opened" 7.3)" RMS ">" 0.05 "the alarm did not start over"
level "$(plus "$dismissed" 1)" "$(plus "$dismissed" 1.9)" Maximum "<" 0.001 "the alarm went on after OK"

asked=$(now)
for answer in Escape Return; do
    wmctrl -i -c "$main" # the close box's request, delivered by the window manager
    xdotool windowactivate --sync "$(window '^終了確認$' 5)" key $answer
    sleep 1
    [ $answer == Return ] || alive || fail "Cancel in the exit question ended the program"
done
for _ in $(seq 50); do alive && sleep 0.1; done
alive && fail "the program still runs after OK in the exit question"
wait "$pid" || fail "the program ended with status $?"
level "$asked" "$(plus "$asked" 1)" Maximum ">" 0.01 "the exit question was not heard"
echo "passed"
