#!/usr/bin/env bash
# typical_use.sh PROGRAM [XPEER] - a whole morning: set an alarm a little ahead of a faked clock
# with a message of one's own, watch exactly one alarm box come at the minute, dismiss it, and
# find the clock still going.
#
# XPEER (built from xpeer.cpp) reads back the message typed into the message box; without it
# that check is left out.
set -u
source "$(dirname "$0")/common.sh"

FAKETIME_LIB=${RUPIKA_E2E_FAKETIME_LIB:-/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1}
if [ -z "${RUPIKA_E2E_INSIDE:-}" ]; then
    [ -r "$FAKETIME_LIB" ] || skip "$FAKETIME_LIB is missing (Debian package faketime)"
    need_tool import imagemagick
    need_tool convert imagemagick
fi
e2e_enter_display "$@"

PROGRAM=$1
XPEER=${2:-}
# 20 s ahead of a whole minute: room for the steps below, and a morning hour with one digit.
FAKE_START="2026-12-06 07:04:40"
MESSAGE="Wake up"
DEFAULT_MESSAGE="スロット屋で勝負の時間でぃ！！"
# The steps before the alarm take about 5 s; the alarm is set at least this far ahead.
LEAD_S=15

e2e_setup_work typical_use

# Colours in the main window's alarm-time box, inside its border: one while it is empty.
alarm_box_colours() {
    import -window "$MAIN" -crop 77x14+170+146 +repage "$WORK/alarm-time.png" 2>/dev/null &&
        convert "$WORK/alarm-time.png" -format '%k' info: 2>/dev/null
}

# The alarm box is titled "ルピカ"; the main window's "ルピカ時計" is not one.
alarm_boxes() {
    local w
    for w in $(windows_starting "ルピカ"); do
        [[ $(title_of "$w") == "ルピカ時計"* ]] || echo "$w"
    done
}

# X offers no way to read a message box's text back, so the ink above its OK button is measured
# instead: "Wake up" is some 50 px wide, the 15 full-width characters of the default message three
# times that, and an empty message leaves none. Prints the ink's width in pixels.
message_ink_width() {
    local size height
    size=$(window_size "$1")
    height=$((${size#*x} - 45))
    [ "$height" -gt 5 ] || { echo 0; return; }
    import -window "$1" "$WORK/alarm-box.png" 2>/dev/null || { echo 0; return; }
    convert "$WORK/alarm-box.png" -crop "${size%x*}x${height}+0+0" +repage -fuzz 25% -trim \
        -format '%w %@' info: 2>/dev/null | awk '{ if ($2 ~ /^0x0/) print 0; else print $1 }'
}

clipboard_after() {
    xdotool key --clearmodifiers ctrl+a ctrl+c
    sleep 0.2
    "$XPEER" clipboard 2>&1
}

hms() { printf '%d:%02d:%02d' $(($1 / 3600)) $(($1 % 3600 / 60)) $(($1 % 60)); }

# ASan builds insist on coming first among preloaded libraries; libfaketime must come first here.
start_app env LD_PRELOAD="$FAKETIME_LIB" FAKETIME="@$FAKE_START" ASAN_OPTIONS="${ASAN_OPTIONS:-}:verify_asan_link_order=0" \
    "$PROGRAM"
wait_main
expect_ticking "at start"
read_clock
if [ "$CLOCK_S" -lt $((7 * 3600 + 4 * 60 + 40)) ] || [ "$CLOCK_S" -ge $((7 * 3600 + 5 * 60)) ]; then
    fail "the title shows $CLOCK, not the faked morning $FAKE_START: libfaketime did not take hold"
fi
[[ $CLOCK == 7:* ]] || flaw hour-digits "the title shows the hour as in $CLOCK, expected 7 without a leading zero"

# The next whole minute far enough ahead; at 07:04:4x that is 07:05.
ALARM_S=$((((CLOCK_S + LEAD_S + 59) / 60) * 60))
ALARM_H=$((ALARM_S / 3600))
ALARM_M=$(printf '%02d' $((ALARM_S % 3600 / 60)))
say "alarm to set: $ALARM_H:$ALARM_M (fake clock at $CLOCK)"

[ "$(alarm_box_colours)" == 1 ] || flaw alarm-time-blank "the main window's alarm-time box is not blank before an alarm is set"

# A window manager would give the new main window the focus; with none, it is given here.
xdotool windowfocus --sync "$MAIN" 2>/dev/null
say "pressing Enter: 鈴 has the focus at start"
xdotool key Return
wait_window "アラーム設定" 5 "Enter in the main window (鈴 should have the keyboard focus at start)"
SET=$WIN
expect_title "$SET" "アラーム設定"
expect_size "$SET" 300x81 "アラーム設定"

say "typing $ALARM_H into the hour field and $ALARM_M into the minute field"
click_in "$SET" 50 50
xdotool type "$ALARM_H"
click_in "$SET" 130 50
xdotool type "$ALARM_M"

say "clicking 文"
click_in "$SET" 216 60
wait_window "メッセージ設定" 5 "opening メッセージ設定 with 文"
MSG=$WIN
expect_title "$MSG" "メッセージ設定"
expect_size "$MSG" 300x81 "メッセージ設定"

# The caret is in the text box from the start, so select-all and typing need no click.
if [ -n "$XPEER" ]; then
    shown=$(clipboard_after)
    [ "$shown" == "$DEFAULT_MESSAGE" ] ||
        flaw default-message "select-all and copy in the new メッセージ設定 gave \"$shown\", expected the default \"$DEFAULT_MESSAGE\" (is the caret in the text box?)"
fi
xdotool key --clearmodifiers ctrl+a
xdotool type "$MESSAGE"
if [ -n "$XPEER" ]; then
    shown=$(clipboard_after)
    [ "$shown" == "$MESSAGE" ] ||
        fail "after typing \"$MESSAGE\" the message text box holds \"$shown\": the caret was not in it"
fi

say "clicking 決 in メッセージ設定"
click_in "$MSG" 264 60
wait_gone "$MSG" 3 "決 in メッセージ設定"
wait_window "アラーム設定" 3 "アラーム設定 coming back after メッセージ設定"
SET=$WIN

say "clicking 決 in アラーム設定"
click_in "$SET" 272 60
deadline=$(($(now_us) + 3000000))
while is_visible "$SET"; do
    refusal=$(alarm_boxes)
    [ -z "$refusal" ] || fail "アラーム設定 refused $ALARM_H:$ALARM_M with a \"$(title_of "$refusal")\" box"
    [ "$(now_us)" -lt "$deadline" ] || fail "アラーム設定 still open 3 s after its 決"
    sleep 0.1
done
[ -z "$(windows_starting "アラーム設定")" ] || fail "another アラーム設定 is open after its 決"
[ "$(alarm_box_colours)" != 1 ] || flaw alarm-time-shown "the main window's alarm-time box stays blank after the alarm was set"
read_clock || fail "the main window title shows no time after the alarm was set"
[ "$CLOCK_S" -le $((ALARM_S - 3)) ] ||
    fail "setting the alarm took until $CLOCK on the fake clock, too close to $(hms "$ALARM_S") to watch for early boxes"
say "alarm set at fake $CLOCK; watching for the box until $(hms "$ALARM_S") and a little after"

# Boxes are read before the clock: the title changes before a box can open in the same tick,
# so a box seen with an earlier time in the title really came early.
deadline=$(($(now_us) + (ALARM_S - CLOCK_S + 5) * 1000000))
while :; do
    boxes=$(alarm_boxes)
    read_clock || fail "the main window title shows no time while waiting for the alarm"
    if [ -n "$boxes" ]; then
        [ "$CLOCK_S" -ge "$ALARM_S" ] ||
            fail "a \"$(title_of "$(head -n 1 <<<"$boxes")")\" box opened at $CLOCK, before the alarm time $(hms "$ALARM_S")"
        break
    fi
    [ "$(now_us)" -lt "$deadline" ] || fail "no alarm box by $CLOCK on the fake clock (alarm at $(hms "$ALARM_S"))"
    app_alive || fail "the program ended while waiting for the alarm"
    sleep 0.1
done
say "alarm box appeared with the title clock at $CLOCK"
[ "$CLOCK_S" -le $((ALARM_S + 1)) ] || flaw late "the alarm box came only at $CLOCK, expected at $(hms "$ALARM_S")"

# A second box may come a tick or more after the first; count for a while before answering.
BOX=$(head -n 1 <<<"$boxes")
deadline=$(($(now_us) + 3000000))
while [ "$(now_us)" -lt "$deadline" ]; do
    boxes=$(alarm_boxes)
    count=$(grep -c . <<<"$boxes")
    [ "$count" -le 1 ] || fail "$count alarm boxes are open at once, expected exactly one"
    [ "$count" -eq 0 ] || [ "$boxes" == "$BOX" ] || fail "the alarm box was replaced by another one"
    sleep 0.1
done
app_alive || fail "the program ended with the alarm box open"
is_visible "$BOX" || fail "the alarm box closed by itself"
say "exactly one alarm box over 3 s"
expect_title "$BOX" "ルピカ"
ink=$(message_ink_width "$BOX")
if [ "${ink:-0}" -lt 20 ]; then
    flaw box-message "the alarm box shows no message, expected \"$MESSAGE\""
elif [ "$ink" -gt 110 ]; then
    flaw box-message "the alarm box's message is $ink px wide, far more than \"$MESSAGE\" takes: not the message typed?"
fi
[ -z "$(windows_starting "アラーム設定")" ] || flaw set-reopened "アラーム設定 opened again with the alarm"

if import -window root "$WORK/alarm.png" 2>/dev/null; then
    say "screenshot of the alarm: $WORK/alarm.png"
else
    flaw screenshot "could not take a screenshot into $WORK/alarm.png"
fi

say "pressing Enter to dismiss the alarm box"
xdotool key Return
wait_gone "$BOX" 3 "Enter on the alarm box (focus should be on its OK)"
# Ticks go on within the alarm minute, so a missing guard would show as a fresh box here.
deadline=$(($(now_us) + 2500000))
while [ "$(now_us)" -lt "$deadline" ]; do
    [ -z "$(alarm_boxes)" ] || fail "another alarm box opened after the first was dismissed"
    sleep 0.1
done
app_alive || fail "the program ended after the alarm was dismissed"
is_visible "$MAIN" || fail "the main window is gone after the alarm"
expect_ticking "after the alarm"
finish
