#!/usr/bin/env bash
# clock_exit.sh PROGRAM [XPEER] - the clock runs in the title, and the program ends only once
# the user has confirmed it: "終" and the window's close box both ask first, Cancel keeps the
# clock going, OK ends the program cleanly.
#
# XPEER (built from xpeer.cpp) stands in for a window manager's close box; without it that
# part is left out.
set -u
source "$(dirname "$0")/common.sh"
e2e_enter_display "$@"

PROGRAM=$1
XPEER=${2:-}
e2e_setup_work clock_exit

# Answers the confirmation box that must be open now with a key; leaves its id in BOX.
confirmation_box() {
    wait_window "終了確認" 5 "$1"
    BOX=$WIN
    expect_title "$BOX" "終了確認"
    app_alive || fail "$1: the program ended before the box was answered"
}

# After Cancel the program must still be there as it was: running, its window shown, the clock going.
expect_kept_running() {
    local what=$1
    wait_gone "$BOX" 3 "$what: Escape (Cancel)"
    app_alive || fail "$what: the program ended although the confirmation was cancelled"
    is_visible "$MAIN" || fail "$what: the main window disappeared although the confirmation was cancelled"
    [ -z "$(windows_starting "終了確認")" ] || fail "$what: another confirmation box opened after Cancel"
    expect_ticking "$what, after Cancel"
}

start_app "$PROGRAM"
wait_main
expect_ticking "at start"

# The title shows the machine's own time, not merely some ticking number.
read_clock
system_s=$(($(date +%s) % 86400))
drift=$(((CLOCK_S - system_s + 86400) % 86400))
[ "$drift" -le 2 ] || [ "$drift" -ge $((86400 - 2)) ] ||
    fail "the title shows $CLOCK but the system clock (UTC) is $(date +%-H:%M:%S)"

say "clicking 終, then Cancel"
click_in "$MAIN" 344 148
confirmation_box "終 asks for confirmation"
xdotool key Escape
expect_kept_running "終 then Cancel"

if [ -n "$XPEER" ]; then
    say "asking the main window to close the way a window manager's close box does, then Cancel"
    "$XPEER" close "$MAIN" || fail "could not send the close request"
    confirmation_box "the close box asks for confirmation"
    xdotool key Escape
    expect_kept_running "close box then Cancel"
else
    say "no xpeer given: the close-box part is left out"
fi

say "clicking 終, then OK"
click_in "$MAIN" 344 148
confirmation_box "終 asks for confirmation again"
xdotool key Return
deadline=$(($(now_us) + 5000000))
while app_alive; do
    [ "$(now_us)" -lt "$deadline" ] || fail "the program still runs 5 s after OK"
    sleep 0.1
done
status=0
wait "$APP_PID" || status=$?
APP_PID=
[ "$status" -eq 0 ] || fail "the program ended with status $status after OK, expected 0"
say "the program ended with status 0"
finish
