#!/usr/bin/env bash
# Compiles the resource script CMake wrote from rupika-tokei.rc.in with the
# MinGW resource compiler and reads the result back, to catch a broken
# resource script or mis-encoded Japanese strings without a Windows machine.
# Exits 77 (CTest's skip code) when the toolchain is missing.
#
# Usage: check-rc.sh ASSETS_DIR RC_FILE VERSION_TEXT VERSION_COMMAS   (e.g. ... 1.00 1,0,0,0)
set -euo pipefail
assets=$1 rc=$(realpath "$2") text=$3 commas=$4

WINDRES=${WINDRES:-x86_64-w64-mingw32-windres}
if ! command -v "$WINDRES" >/dev/null 2>&1; then
    echo "windres not found, skipping"
    exit 77
fi

# windres preprocesses with the cross gcc by default; binutils alone does not
# bring one, and the script needs nothing beyond a plain C preprocessor.
rcflags=()
if ! command -v x86_64-w64-mingw32-gcc >/dev/null 2>&1; then
    if command -v cpp >/dev/null 2>&1; then
        rcflags=(--preprocessor=cpp)
    else
        echo "no C preprocessor for windres, skipping"
        exit 77
    fi
fi

# The icons are named relative to the assets folder, not to the generated script.
cd "$assets"
rcflags+=(--include-dir=.)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

if ! "$WINDRES" "${rcflags[@]}" -i "$rc" -O coff -o "$tmp/rupika-tokei.o"; then
    echo "FAIL: windres could not compile $rc"
    exit 1
fi
# Decompiling gives stable text to search; squeeze the spacing windres puts
# after commas so the expectations below read like the source.
"$WINDRES" -i "$tmp/rupika-tokei.o" -O rc | sed 's/, */,/g; s/^ *//' >"$tmp/out.rc"

# "ルピカ時計" as the UTF-16 escapes windres prints; a wrong code page would
# turn it into something else, so this checks the pragma is honoured.
name='L"\x30eb\x30d4\x30ab\x6642\x8a08"'

fail=0
while IFS= read -r want; do
    [[ -z "$want" ]] && continue
    if ! grep -qF -- "$want" "$tmp/out.rc"; then
        echo "FAIL: compiled resources lack: $want"
        fail=1
    fi
done <<LIST
FILEVERSION $commas
PRODUCTVERSION $commas
BLOCK "041104B0"
VALUE "FileVersion","$text"
VALUE "ProductVersion","$text"
VALUE "ProductName",$name
VALUE "FileDescription",$name
VALUE "InternalName","rupika-tokei"
VALUE "OriginalFilename","rupika-tokei.exe"
VALUE "Translation",0x411,1200
"IDI_ICON1" 14
"IDI_ICON2" 14
LIST

# Explorer takes the first icon group (IDI_ICON1) as the program's icon, so
# it must hold app.ico's picture and not the window one. Compile app.ico on
# its own and compare the image data with what IDI_ICON1 points at.
icon_data() { # file icon-number
    awk -v n="$2" '$0 ~ "^" n " 3 /\\* RT_ICON" {on = 1; next}
                   on && /^END/ {exit}
                   on && !/^BEGIN/ {print}' "$1"
}
group_icon() { # file group-name: number of the group's first image
    awk -v g="\"$2\" 14" 'index($0, g) == 1 {on = 1; next}
                           on && /Element no 1\./ {sub(/[ \t]*\/\*.*/, ""); n = split($0, f, ","); print f[n]; exit}' "$1"
}
printf 'X ICON "app.ico"\n' >"$tmp/app-only.rc"
"$WINDRES" "${rcflags[@]}" -i "$tmp/app-only.rc" -O rc | sed 's/, */,/g; s/^ *//' >"$tmp/app-only.out"
idx=$(group_icon "$tmp/out.rc" IDI_ICON1)
if [[ -z "$idx" ]] || [[ -z "$(icon_data "$tmp/app-only.out" 1)" ]] ||
    ! diff -q <(icon_data "$tmp/out.rc" "$idx") <(icon_data "$tmp/app-only.out" 1) >/dev/null; then
    echo "FAIL: IDI_ICON1 does not hold app.ico"
    fail=1
fi

if ((fail)); then
    exit 1
fi
echo "rupika-tokei.rc: OK"
