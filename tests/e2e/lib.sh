# lib.sh - what the end-to-end tests share: failing as a person would notice, finding and clicking windows,
# and a private PulseAudio server whose only sink is recorded. Sourced; the caller gives HOME and
# XDG_RUNTIME_DIR of the test's own before it starts the server.
fail() {
    echo "FAIL: $*" >&2
    [ -n "${DISPLAY:-}" ] && import -window root "${TMPDIR:-/tmp}/rupika-e2e-fail.png" 2>/dev/null
    [ "$BASHPID" == $$ ] || kill -USR1 $$ # from inside $(...) too: a window not found ends the test
    exit 1
}
trap 'exit 1' USR1
# What a person would hear or see go wrong; with E2E_KEEP_GOING set the run goes on, to show every such
# fault of a program at once.
missed=
miss() { [ -n "${E2E_KEEP_GOING:-}" ] && echo "FAIL: $*" && missed=1 && return; fail "$@"; }
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
plus() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.3f", a + b}'; }
# Waits up to $1 s for the program to end, and fails with $2 unless it ended with status 0.
ended() {
    for _ in $(seq $(($1 * 20))); do alive && sleep 0.05; done
    alive && miss "$2"
    wait "$pid" || fail "the program ended with status $?"
}

# ---- Sound: a private PulseAudio server whose only sink is recorded, one recording per run of the server.
sound=1 pa= recordings=()
for tool in pulseaudio parec pactl sox; do
    command -v $tool >/dev/null || { echo "SKIP: no $tool, so nothing of the sound is checked"; sound=; }
done
server() { # starts the server and records it from then on; `answered` is when it answered
    [ -n "$sound" ] || return 0
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no -L module-native-protocol-unix \
        -L "module-null-sink sink_name=rec" >/dev/null 2>&1 &
    pa=$!
    for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.05; done
    answered=$EPOCHREALTIME
    record
}
resume() { kill -CONT "$pa" && answered=$EPOCHREALTIME && record; } # a stopped server goes on, recorded afresh
stop_server() { [ -n "$pa" ] && kill "$pa" && wait "$pa" 2>/dev/null; pa=; }
# Records the server afresh (a recording that went on through a hang no longer keeps time).
record() {
    local file=$HOME/rec.${#recordings[@]}.raw
    parec --latency-msec=20 -d rec.monitor --raw --format=s16le --channels=1 --rate=48000 >"$file" &
    for _ in $(seq 100); do [ -s "$file" ] && break; sleep 0.05; done
    [ -s "$file" ] || fail "nothing records the sound server"
    # The recording's second 0, however long the stream took to start.
    recordings+=("$(awk -v n="$EPOCHREALTIME" -v b="$(stat -c %s "$file")" 'BEGIN {printf "%.3f", n - b / 96000}') $file")
}
# The $3 amplitude (RMS or Maximum) of the sound from $1 to $2 (epoch seconds), once it has all been recorded.
amplitude() {
    local begun file
    read -r begun file <<<"${recordings[-1]}"
    for _ in $(seq 200); do
        awk -v b="$begun" -v to="$2" -v n="$(stat -c %s "$file")" 'BEGIN {exit !(b + n / 96000 >= to)}' && break
        sleep 0.05
    done
    # What came before the recording began is taken from its start.
    sox -t raw -r 48000 -e signed -b 16 -c 1 "$file" -n \
        trim "$(awk -v f="$1" -v b="$begun" 'BEGIN {printf "%.3f", (f > b ? f - b : 0)}')" "=$(plus "$2" "-$begun")" stat 2>&1 |
        awk -v what="$3" '$1 == what && $2 == "amplitude:" {print $3}'
}
# Fails with $3 unless some quarter second from $1 within $2 s is loud: its $4 amplitude (RMS unless given)
# above $5 (0.05); $6, if given, names the figure printed of when. A recording that began later (its
# stream may take a second to start) is heard from its start for a second at least.
heard() {
    [ -n "$sound" ] || return 0
    local begun from to rms seen=
    read -r begun _ <<<"${recordings[-1]}"
    from=$(awk -v f="$1" -v b="$begun" 'BEGIN {printf "%.3f", (f > b ? f : b)}')
    to=$(awk -v e="$(plus "$1" "$2")" -v b="$begun" 'BEGIN {printf "%.3f", (e > b + 1 ? e : b + 1)}')
    while awk -v f="$from" -v e="$to" 'BEGIN {exit !(f + 0.25 <= e)}'; do
        rms=$(amplitude "$from" "$(plus "$from" 0.25)" "${4:-RMS}")
        awk -v r="$rms" -v l="${5:-0.05}" 'BEGIN {exit !(r > l)}' &&
            { [ -z "${6:-}" ] || echo "$6: heard within $(plus "$from" "-$1") to $(plus "$(plus "$from" 0.25)" "-$1") s"; return; }
        from=$(plus "$from" 0.25) seen="$seen $rms"
    done
    miss "$3 (${4:-RMS} of each quarter second:$seen)"
}
# Fails with $3 unless nothing at all is heard from $1 to $2.
silent() {
    [ -n "$sound" ] || return 0
    local peak
    peak=$(amplitude "$1" "$2" Maximum)
    awk -v p="$peak" 'BEGIN {exit !(p < 0.001)}' || miss "$3: maximum amplitude $peak"
}
