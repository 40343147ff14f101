#!/usr/bin/env bash
# Regenerates the committed artwork under assets/: the main window's picture
# with ImageMagick, every icon from assets/rupika-tokei.svg with
# rsvg-convert, and the alarm sound with SoX (Debian: imagemagick,
# librsvg2-bin, sox). The outputs are committed
# so that building never needs either; run this only after changing the
# picture below or the SVG.
#
# Usage: scripts/make-assets.sh            (writes into assets/)
#        CONVERT=/path/to/convert RSVG=/path/to/rsvg-convert scripts/make-assets.sh
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
out="$here/../assets"
mkdir -p "$out"

# Some machines shadow ImageMagick's convert with a wrapper earlier in PATH,
# so prefer the packaged binary, then IM7's single entry point.
if [[ -z "${CONVERT:-}" ]]; then
    if [[ -x /usr/bin/convert ]]; then
        CONVERT=/usr/bin/convert
    elif command -v magick >/dev/null 2>&1; then
        CONVERT=magick
    else
        CONVERT=convert
    fi
fi
RSVG=${RSVG:-rsvg-convert}

# Palette shared with the window colours of the program.
LILAC='#8080FF'
PALE='#C0C0FF'
YELLOW='#FFFF00'
ORANGE='#FF8000'
RED='#FF0000'

# Timestamps and comments would make every run produce different bytes,
# which would show up as spurious changes in version control.
STRIP=(-strip -define 'png:exclude-chunks=date,time')

# Prints "x,y" for a point at radius r and clock angle deg (0 = 12 o'clock,
# clockwise) around (cx,cy); MVG has no polar coordinates.
polar() {
    awk -v cx="$1" -v cy="$2" -v r="$3" -v a="$4" 'BEGIN {
        t = a * 3.14159265358979 / 180
        printf "%.2f,%.2f", cx + r * sin(t), cy - r * cos(t)
    }'
}

# A hand from slightly behind the centre out to its tip.
hand() { # cx cy angle tail length width colour
    local from to
    from=$(polar "$1" "$2" "-$4" "$3")
    to=$(polar "$1" "$2" "$5" "$3")
    printf ' stroke %s stroke-width %s stroke-linecap round line %s %s' \
        "$7" "$6" "$from" "$to"
}

# One bell: a dome tilted away from the centre, a rim and a knob on top.
bell() { # cx cy tilt
    printf ' push graphic-context translate %s,%s rotate %s' "$1" "$2" "$3"
    printf ' stroke none fill %s ellipse 0,0 22,21 180,360' "$LILAC"
    printf ' fill %s ellipse 0,0 24,4 0,360' "$PALE"
    printf ' fill none stroke %s stroke-width 2.5 stroke-linecap round ellipse 0,0 15,14 205,250' "$PALE"
    printf ' stroke none fill %s circle 0,-23 0,-18' "$PALE"
    printf ' pop graphic-context'
}

# Ticks round a dial: 60 minute dots and 12 longer hour marks,
# with 12, 3, 6 and 9 picked out in yellow.
dial() { # cx cy radius
    local i a p q colour
    for ((i = 0; i < 60; i++)); do
        a=$((i * 6))
        if ((i % 5 == 0)); then
            colour=$PALE
            ((i % 15 == 0)) && colour=$YELLOW
            p=$(polar "$1" "$2" "$3" "$a")
            q=$(polar "$1" "$2" "$(awk -v r="$3" 'BEGIN{print r-7}')" "$a")
            printf ' stroke %s stroke-width 2.6 stroke-linecap round line %s %s' "$colour" "$p" "$q"
        else
            p=$(polar "$1" "$2" "$(awk -v r="$3" 'BEGIN{print r-1.5}')" "$a")
            printf ' stroke none fill %s circle %s %s' "$LILAC" "$p" \
                "$(awk -v p="$p" 'BEGIN{split(p,c,","); printf "%.2f,%.2f", c[1]+0.9, c[2]}')"
        fi
    done
}

# ---------------------------------------------------------------- tokei.gif
# The picture beside the main window's controls: a twin-bell alarm clock
# showing ten past ten, the alarm hand set at seven.
make_picture() {
    local cx=75 cy=101 mvg
    mvg="stroke-antialias 1"
    # Legs and the striker go behind the body.
    mvg+=" fill none stroke $LILAC stroke-width 7 stroke-linecap round"
    mvg+=" line 52,142 38,164 line 98,142 112,164"
    mvg+=" stroke none fill $PALE ellipse 36,166 9,3.5 0,360 ellipse 114,166 9,3.5 0,360"
    mvg+=" stroke $PALE stroke-width 3 line 75,48 75,24"
    mvg+=" stroke none fill $ORANGE circle 75,21 75,15.5"
    mvg+="$(bell 41 53 -38)$(bell 109 53 38)"
    # Body: a lilac case with a pale highlight, black face and accent stripes.
    mvg+=" stroke none fill $LILAC circle $cx,$cy $cx,$((cy - 53))"
    mvg+=" fill none stroke $PALE stroke-width 3 stroke-linecap round ellipse $cx,$cy 49,49 200,250"
    mvg+=" stroke none fill black circle $cx,$cy $cx,$((cy - 45))"
    mvg+=" fill none stroke-width 2.1"
    mvg+=" stroke $YELLOW circle $cx,$cy $cx,$((cy - 44))"
    mvg+=" stroke $ORANGE circle $cx,$cy $cx,$((cy - 42))"
    mvg+=" stroke $RED circle $cx,$cy $cx,$((cy - 40))"
    mvg+="$(dial $cx $cy 36)"
    # Hands, back to front: alarm, hour, minute, second.
    mvg+="$(hand $cx $cy 210 0 20 2.2 "$YELLOW")"
    mvg+=" stroke none fill $YELLOW circle $(polar $cx $cy 20 210) $(polar $cx $cy 17 210)"
    mvg+="$(hand $cx $cy 305 4 19 5 "$PALE")"
    mvg+="$(hand $cx $cy 60 5 29 3.5 "$PALE")"
    mvg+="$(hand $cx $cy 160 9 32 1.3 "$RED")"
    mvg+=" stroke none fill $ORANGE circle $cx,$cy $cx,$((cy - 4))"
    mvg+=" fill black circle $cx,$cy $cx,$((cy - 1))"

    # Drawn at four times the size and reduced, which smooths the edges
    # better than antialiasing at the final size; the GIF palette is kept
    # undithered so the flat colours stay clean. The same drawing reduced
    # to twice the size, in full colour, serves screens scaled by two.
    "$CONVERT" -size 600x692 xc:black -draw "scale 4,4 $mvg" -filter Triangle \
        \( +clone -resize 300x346\! "${STRIP[@]}" -write "PNG24:$out/tokei@2x.png" +delete \) \
        -resize 150x173\! +dither -colors 128 \
        "${STRIP[@]}" "GIF:$out/tokei.gif"
}

# ------------------------------------------------------------------ icons
# Every icon comes from the one SVG: the application icon (the clock on its
# black tile) at each size the hicolor theme asks for, and the window icon,
# which leaves the tile out so it sits on any title bar.
make_icons() {
    local svg="$out/rupika-tokei.svg" size tmp
    for size in 16 24 32 48 64 128 256; do
        mkdir -p "$out/icons/${size}x${size}"
        "$RSVG" -w "$size" -h "$size" "$svg" -o "$out/icons/${size}x${size}/rupika-tokei.png"
    done
    cp "$out/icons/32x32/rupika-tokei.png" "$out/app.png"
    tmp=$(mktemp -d)
    trap 'rm -rf "$tmp"' RETURN
    sed -e '/id="tile"/d' -e 's/id="clock" transform="[^"]*"/id="clock"/' "$svg" >"$tmp/window.svg"
    "$RSVG" -w 32 -h 32 "$tmp/window.svg" -o "$out/window.png"
    local name
    for name in window app; do
        "$CONVERT" "$out/$name.png" "${STRIP[@]}" "ICO:$out/$name.ico"
    done
}

# ------------------------------------------------------------------ alarm
# The clock's own alarm, for where the sound theme has none: two short high
# beeps, a third of a second in all. It is played over and over, and kept
# this short because on ALSA a play cannot be cut off: OK must silence it at
# once. Softened edges keep the beeps from clicking.
make_alarm() {
    "${SOX:-sox}" --no-dither -n -r 48000 -b 16 -c 1 "$out/alarm.wav" \
        synth 0.08 sine 2000 fade q 0.005 0.08 0.005 vol 0.5 pad 0 0.05 repeat 1 pad 0 0.04
}

make_picture
make_icons
make_alarm
echo "wrote: $(cd "$out" && echo tokei.gif tokei@2x.png window.png window.ico app.png app.ico icons/*/rupika-tokei.png alarm.wav)"
