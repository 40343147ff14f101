#!/usr/bin/env bash
# e2e.sh WINE PROGRAM REFERENCE - the Windows build under Wine (WINE runs a Windows program) as a person uses it:
# what it prints reaches the terminal; on a private X server the main window, and its --screenshot, look as
# the Linux one does in REFERENCE, fonts aside; an alarm set by clicks for the next minute opens its box on top at that minute, is
# heard through a private PulseAudio server until OK, and 終 and OK end the program. Then the time format the
# user chose in Windows' settings is the one the clock shows.
set -u
for tool in xvfb-run xdotool openbox xprop import compare; do
    command -v $tool >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
wine=$1 prog=$2 reference=$3
. "$(dirname "$0")/../e2e/lib.sh"
if [ -z "${E2E_DISPLAY:-}" ]; then
    out=$("$wine" "$prog" --version 2>/dev/null | tr -d '\r') # Windows ends its lines with CR LF
    [[ $out =~ ^rupika-tokei\ [0-9]+\.[0-9][0-9]$ ]] || fail "--version printed \"$out\""
    out=$("$wine" "$prog" --bogus 2>&1 >/dev/null)
    [ $? -eq 1 ] && [[ $out == *"rupika-tokei: Unknown option 'bogus'."* ]] || fail "--bogus said \"$out\""
    exec env E2E_DISPLAY=1 xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
# The sound server's socket is the test's own; Qt and the Wine prefix stay in the user's cache.
export XDG_CACHE_HOME=${XDG_CACHE_HOME:-$HOME/.cache}
HOME=$(mktemp -d)
export HOME XDG_RUNTIME_DIR=$HOME/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
trap 'kill $(jobs -p) 2>/dev/null' EXIT
openbox --sm-disable >/dev/null 2>&1 &
server
"$wine" "$prog" --screenshot "$HOME/shot.png" >/dev/null 2>&1 || fail "--screenshot failed"
"$wine" "$prog" 2>"$HOME/said" &
pid=$!
main=$(window '^ルピカ時計  ' 60)
sleep 1
import -window "$main" "$HOME/main.png"
# The window on screen and the screenshot beside Linux's picture: the time and the date, which differ,
# covered; what else differs is the fonts' drawing.
cover() { convert "$1" -fill black -draw "rectangle 160,30 379,112" "$2"; }
cover "$reference" "$HOME/linux.png"
for picture in main shot; do
    [ "$(identify -format %wx%h "$HOME/$picture.png")" == 380x172 ] || fail "the $picture picture is not 380x172"
    cover "$HOME/$picture.png" "$HOME/covered.png"
    differ=$(compare -metric AE -fuzz 10% "$HOME/covered.png" "$HOME/linux.png" null: 2>&1)
    echo "the $picture picture beside Linux's, time and date aside: $differ pixels differ"
    [ "${differ%.*}" -lt 1500 ] || { cp "$HOME/$picture.png" "${TMPDIR:-/tmp}/rupika-wine.png"; fail "it differs"; }
done

# The next minute, with time enough to set it.
[ "$(date +%-S)" -lt 45 ] || sleep $((61 - $(date +%-S)))
at=$(date -d '+1 min' +%-H:%M)
xdotool windowactivate --sync "$main" key Return # 鈴 has the focus from the start
set=$(window '^アラーム設定$' 10)
click "$set" 50 50 && xdotool type "${at%:*}"
click "$set" 130 50 && xdotool type "${at#*:}"
click "$set" 272 60
box=$(window '^ルピカ$' 75)
opened=$EPOCHREALTIME
[[ $(clock) == $at:0[0-3] ]] || fail "the alarm box for $at came at $(clock)"
xprop -id "$box" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE || fail "the alarm box is not kept above the others"
heard "$opened" 3 "the alarm was not heard" RMS 0.05 "the alarm"
echo "its RMS over 2 s: $(amplitude "$opened" "$(plus "$opened" 2)" RMS)"
xdotool windowactivate --sync "$box" key Return
dismissed=$EPOCHREALTIME
silent "$(plus "$dismissed" 0.5)" "$(plus "$dismissed" 1.5)" "the alarm went on after OK"
for step in $(seq 0 0.05 0.5); do
    awk -v p="$(amplitude "$(plus "$dismissed" "$step")" "$(plus "$(plus "$dismissed" "$step")" 0.05)" Maximum)" \
        'BEGIN {exit !(p < 0.001)}' && echo "OK to silence: within $(plus "$step" 0.05) s" && break
done
click "$main" 345 148 # 終
xdotool windowactivate --sync "$(window '^終了確認$' 10)" key Return
ended 10 "the program still runs 10 s after OK in the exit question"

# The time format the user chose, from Windows' settings.
international='HKCU\Control Panel\International'
"$wine" reg add "$international" /v sTimeFormat /d 'tt h:mm:ss' /f >/dev/null 2>&1
"$wine" "$prog" 2>>"$HOME/said" &
pid=$!
main=$(window '^ルピカ時計  ' 60)
sleep 1.5
title=$(clock)
kill $pid
"$wine" reg delete "$international" /v sTimeFormat /f >/dev/null 2>&1
[[ $title =~ ^(午前|午後)\ ?[0-9]{1,2}:[0-9]{2}:[0-9]{2}$ ]] || fail "with the user's tt h:mm:ss the title shows \"$title\""
# Qt's own notes on what Wine lacks aside, the program had nothing to say.
grep -a '^rupika-tokei:' "$HOME/said" && fail "the program said that"
echo "passed"
