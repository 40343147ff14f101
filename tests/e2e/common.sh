# shellcheck shell=bash
# common.sh - sourced by the end-to-end scripts: a private X server, the program under test,
# and bounded waits on its windows.
#
# Every script re-runs itself inside `xvfb-run`; the copy outside only checks the tools, waits,
# and tidies up if it is interrupted. Exit status: 0 passed, 1 failed, 77 a tool is missing.

# The program is run in the C locale, where it shows the Japanese formats; the scripts match its
# UTF-8 titles byte by byte, which the C locale does reliably.
export LC_ALL=C TZ=UTC

E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
E2E_SCREEN="-screen 0 1024x768x24"
E2E_T0=${EPOCHREALTIME/./}
E2E_FLAWS=0
declare -A E2E_SEEN=()
APP_PID=
MAIN=
WORK=

now_us() { echo "${EPOCHREALTIME/./}"; }

say() {
    local ms=$((($(now_us) - E2E_T0) / 1000))
    printf '[%3d.%ds] %s\n' $((ms / 1000)) $((ms % 1000 / 100)) "$*"
}

skip() {
    echo "SKIP: $*"
    exit 77
}

need_tool() {
    command -v "$1" >/dev/null 2>&1 || skip "$1 is not installed (Debian package $2)"
}

# Runs the calling script again inside a fresh X server, unless this already is that run.
e2e_enter_display() {
    [ -n "${RUPIKA_E2E_INSIDE:-}" ] && return 0
    need_tool xvfb-run xvfb
    need_tool Xvfb xvfb
    need_tool xauth xauth
    need_tool xdotool xdotool
    need_tool xwininfo x11-utils
    need_tool pgrep procps
    [ -n "${1:-}" ] || { echo "usage: $0 PROGRAM [XPEER]" >&2; exit 2; }
    [ -x "$1" ] || { echo "FAIL: the program $1 is missing or not executable" >&2; exit 1; }

    # The run inside writes its own and its X server's pid here: if xvfb-run is killed, its
    # X server is orphaned and only this file still finds it.
    E2E_PIDFILE=$(mktemp "${TMPDIR:-/tmp}/rupika-e2e-pids.XXXXXX")
    trap e2e_stop_display EXIT
    trap 'say "FAIL: interrupted by SIGINT"; exit 130' INT
    trap 'say "FAIL: interrupted by SIGTERM from outside the test"; exit 143' TERM
    trap 'say "FAIL: interrupted by SIGHUP"; exit 129' HUP
    # Started in the background so that a signal reaches the traps above at once.
    RUPIKA_E2E_INSIDE=1 RUPIKA_E2E_PIDFILE=$E2E_PIDFILE xvfb-run -a -s "$E2E_SCREEN" bash "$0" "$@" &
    E2E_XVFB_RUN=$!
    local status=0
    wait "$E2E_XVFB_RUN" || status=$?
    if [ "$status" -gt 128 ] && [ "$status" -lt 255 ]; then
        say "FAIL: the run inside the X server was killed by signal $((status - 128))"
        status=1
    fi
    exit "$status"
}

e2e_stop_display() {
    local pid inner='' xvfb='' display=''
    # xvfb-run tidies up only after a normal end, so a cut-short run is ended here.
    if [ -n "${E2E_XVFB_RUN:-}" ] && kill -0 "$E2E_XVFB_RUN" 2>/dev/null; then
        for pid in $(pgrep -P "$E2E_XVFB_RUN"); do
            kill "$pid" 2>/dev/null
        done
        kill "$E2E_XVFB_RUN" 2>/dev/null
    fi
    [ -s "$E2E_PIDFILE" ] && read -r inner xvfb display <"$E2E_PIDFILE"
    # Pids are taken only while they still name this run's processes, never a reused number.
    if [ -n "$inner" ] && { tr "\0" "\n" <"/proc/$inner/environ"; } 2>/dev/null | grep -qxF "RUPIKA_E2E_PIDFILE=$E2E_PIDFILE"; then
        kill "$inner" 2>/dev/null
    fi
    if [ -n "$xvfb" ] && { tr "\0" " " <"/proc/$xvfb/cmdline"; } 2>/dev/null | grep -q "^Xvfb $display "; then
        kill "$xvfb" 2>/dev/null
    fi
    rm -f "$E2E_PIDFILE"
    [ -n "${E2E_XVFB_RUN:-}" ] && wait "$E2E_XVFB_RUN" 2>/dev/null
    return 0
}

# --- inside the X server -------------------------------------------------------------------

# WORK holds the program's output and any screenshot; it is kept after the run for a look.
e2e_setup_work() {
    local name=$1 xvfb=
    if [ -n "${RUPIKA_E2E_PIDFILE:-}" ]; then
        read -r xvfb <"/tmp/.X${DISPLAY#:}-lock" 2>/dev/null
        echo "$$ ${xvfb:-} $DISPLAY" >"$RUPIKA_E2E_PIDFILE"
    fi
    if [ -n "${RUPIKA_E2E_OUT:-}" ]; then
        WORK=$RUPIKA_E2E_OUT/$name
        rm -rf "$WORK"
        mkdir -p "$WORK"
    else
        WORK=$(mktemp -d "${TMPDIR:-/tmp}/rupika-e2e-$name.XXXXXX")
    fi
    say "work folder: $WORK"
    trap e2e_stop_app EXIT
    trap 'say "stopped by SIGINT"; exit 130' INT
    trap 'say "stopped by SIGTERM"; exit 143' TERM
    trap 'say "stopped by SIGHUP"; exit 129' HUP
}

# An ASan build would count a system library's lifelong buffer as the program's leak.
start_app() {
    LSAN_OPTIONS="suppressions=$E2E_DIR/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}" "$@" >"$WORK/app.log" 2>&1 &
    APP_PID=$!
    say "started the program (pid $APP_PID)"
}

e2e_stop_app() {
    if [ -n "$APP_PID" ] && kill -0 "$APP_PID" 2>/dev/null; then
        kill "$APP_PID" 2>/dev/null
        for _ in $(seq 20); do
            kill -0 "$APP_PID" 2>/dev/null || break
            sleep 0.1
        done
        kill -9 "$APP_PID" 2>/dev/null
    fi
    [ -n "$APP_PID" ] && wait "$APP_PID" 2>/dev/null
    APP_PID=
}

app_alive() { [ -n "$APP_PID" ] && kill -0 "$APP_PID" 2>/dev/null; }

# Visible top-level windows of the program. xdotool's --name cannot be used: in the C locale Qt
# stores WM_NAME as raw UTF-8 bytes marked Latin-1, so only _NET_WM_NAME (what getwindowname and
# window managers read) carries the title intact.
app_windows() { xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null; }

title_of() { xdotool getwindowname "$1" 2>/dev/null; }

is_visible() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }

# Prints the ids of visible program windows whose title starts with $1 (a plain string).
windows_starting() {
    local w t
    for w in $(app_windows); do
        t=$(title_of "$w") || continue
        [[ $t == "$1"* ]] && echo "$w"
    done
}

describe_windows() {
    local w
    for w in $(app_windows); do
        printf '    window %s "%s" %s\n' "$w" "$(title_of "$w")" "$(window_size "$w")"
    done
    printf '    keyboard focus: window %s\n' "$(xdotool getwindowfocus 2>/dev/null)"
}

window_size() {
    xwininfo -id "$1" 2>/dev/null | awk '/^  Width:/ {w = $2} /^  Height:/ {h = $2} END {print w "x" h}'
}

fail() {
    say "FAIL: $*"
    if [ -n "$WORK" ]; then
        if command -v import >/dev/null 2>&1 && import -window root "$WORK/failure.png" 2>/dev/null; then
            say "screen at the failure: $WORK/failure.png"
        fi
        say "windows at the failure:"
        describe_windows
        if [ -s "$WORK/app.log" ]; then
            say "program output (last lines):"
            tail -n 20 "$WORK/app.log" | sed 's/^/    /'
        fi
    fi
    exit 1
}

# A fault that does not stop the walk-through: reported once per kind, and the run fails at the end.
flaw() {
    local kind=$1
    shift
    [ -n "${E2E_SEEN[$kind]:-}" ] && return 0
    E2E_SEEN[$kind]=1
    E2E_FLAWS=$((E2E_FLAWS + 1))
    say "FAIL: $*"
}

finish() {
    if [ "$E2E_FLAWS" -gt 0 ]; then
        say "FAILED: $E2E_FLAWS fault(s) found, see FAIL lines above"
        exit 1
    fi
    say "PASSED"
    exit 0
}

# Sets WIN to the one visible window whose title starts with $1, waiting up to $2 seconds.
wait_window() {
    local prefix=$1 seconds=$2 what=$3 found deadline
    deadline=$(($(now_us) + seconds * 1000000))
    while :; do
        found=$(windows_starting "$prefix")
        if [ -n "$found" ]; then
            [ "$(wc -l <<<"$found")" -eq 1 ] || fail "$what: more than one window titled \"$prefix…\""
            WIN=$found
            return 0
        fi
        app_alive || fail "$what: the program ended (see $WORK/app.log)"
        [ "$(now_us)" -lt "$deadline" ] || fail "$what: no window titled \"$prefix…\" within $seconds s"
        sleep 0.1
    done
}

# Waits up to $2 seconds for window $1 to be closed or hidden.
wait_gone() {
    local w=$1 seconds=$2 what=$3 deadline
    deadline=$(($(now_us) + seconds * 1000000))
    while is_visible "$w"; do
        [ "$(now_us)" -lt "$deadline" ] || fail "$what: window \"$(title_of "$w")\" still open after $seconds s"
        sleep 0.1
    done
}

expect_title() {
    local w=$1 expected=$2 actual
    actual=$(title_of "$w")
    [ "$actual" == "$expected" ] || flaw "title:$expected" "window title is \"$actual\", expected exactly \"$expected\""
}

expect_size() {
    local w=$1 expected=$2 what=$3 actual
    actual=$(window_size "$w")
    [ "$actual" == "$expected" ] || flaw "size:$what" "$what is $actual, expected a client area of $expected"
}

# Clicks at a point given in the window's own pixel coordinates, as the user would.
click_in() { xdotool mousemove --window "$1" "$2" "$3" click 1; }

CLOCK_PATTERN='^ルピカ時計  ([0-9]{1,2}):([0-9]{2}):([0-9]{2})'
EXACT_CLOCK_TITLE='^ルピカ時計  ([0-9]|1[0-9]|2[0-3]):[0-5][0-9]:[0-5][0-9]$'

# Reads the clock from the main window's title into CLOCK ("H:mm:ss") and CLOCK_S (seconds into
# the day); fails (status 1) while the title shows no time.
read_clock() {
    local t
    t=$(title_of "$MAIN") || return 1
    [[ $t =~ $CLOCK_PATTERN ]] || return 1
    CLOCK="${BASH_REMATCH[1]}:${BASH_REMATCH[2]}:${BASH_REMATCH[3]}"
    CLOCK_S=$((10#${BASH_REMATCH[1]} * 3600 + 10#${BASH_REMATCH[2]} * 60 + 10#${BASH_REMATCH[3]}))
    [[ $t =~ $EXACT_CLOCK_TITLE ]] ||
        flaw clock-title "main window title is \"$t\", expected \"ルピカ時計  H:mm:ss\" and nothing more"
    return 0
}

# Finds the main window: titled "ルピカ時計", later with the time after it.
wait_main() {
    wait_window "ルピカ時計" 10 "starting the program"
    MAIN=$WIN
    say "main window $MAIN: \"$(title_of "$MAIN")\""
    expect_size "$MAIN" 380x172 "the main window"
}

# Checks the title shows the time and moves on with the seconds: within 3 s it must change, by a
# second (two if a reading was slow), never back or far ahead.
expect_ticking() {
    local what=$1 first='' first_s deadline
    deadline=$(($(now_us) + 3000000))
    while [ "$(now_us)" -lt "$deadline" ]; do
        if read_clock; then
            if [ -z "$first" ]; then
                first=$CLOCK
                first_s=$CLOCK_S
            elif [ "$CLOCK" != "$first" ]; then
                local step=$(((CLOCK_S - first_s + 86400) % 86400))
                if [ "$step" -lt 1 ] || [ "$step" -gt 2 ]; then
                    fail "$what: the title clock jumped from $first to $CLOCK"
                fi
                say "$what: title ticks ($first -> $CLOCK)"
                return 0
            fi
        fi
        app_alive || fail "$what: the program ended"
        sleep 0.1
    done
    if [ -z "$first" ]; then
        fail "$what: main window title \"$(title_of "$MAIN")\" shows no time"
    fi
    fail "$what: the title clock stood still at $first for 3 s"
}
