#!/usr/bin/env bash
# wine.sh PROGRAM [ARGUMENTS...] - runs a Windows build of the clock (or a test of it) under Wine, as a
# Japanese user of Windows would, and ends with its status. CMake runs the tests through it.
#
# The prefix is the project's own, made at the first run and kept in the user's cache. Wine passes no
# QT_* variable of the host to the program (it keeps them for the host's own Qt), but hands WINEQT_FOO
# over as QT_FOO: every QT_* given here goes over that way.
set -euo pipefail
cache=${XDG_CACHE_HOME:-$HOME/.cache}/rupika-tokei
export WINEPREFIX=${RUPIKA_WINEPREFIX:-$cache/wine}
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# Wine takes the Windows locale from the C library's, which needs the Japanese one compiled; a copy of
# our own spares the machine's setup.
locales=$cache/locale
if [ ! -d "$locales/ja_JP.UTF-8" ]; then
  mkdir -p "$locales"
  localedef -i ja_JP -f UTF-8 "$locales/ja_JP.UTF-8" 2>/dev/null || [ -d "$locales/ja_JP.UTF-8" ]
fi
unset LC_ALL LC_CTYPE LC_MESSAGES LC_TIME LANGUAGE
export LOCPATH=$locales LANG=ja_JP.UTF-8

# Tests that run side by side make the prefix once.
mkdir -p "$cache"
exec 9>"$cache/wine.lock"
flock 9
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
exec 9>&-

# A path of this machine as Windows programs see it: Wine's drive Z: is the root.
windows_path() { local path=${1//\//\\}; echo "Z:$path"; }
# The Qt DLLs beside Qt's plugins, and MinGW's run-time DLLs, are found through PATH.
qt=$("$(dirname "$0")/build-qt-windows.sh" --dir)
gcc_dlls=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
WINEPATH="$(windows_path "$qt/bin");$(windows_path "$gcc_dlls");$(windows_path /usr/x86_64-w64-mingw32/lib)"
export WINEPATH

# Tests log through QtTest, which writes to the debugger's channel under Windows unless told.
export QT_FORCE_STDERR_LOGGING=${QT_FORCE_STDERR_LOGGING:-1}
# Without a font folder of its own the offscreen platform on Windows finds no font at all.
export QT_QPA_FONTDIR=${QT_QPA_FONTDIR:-$(windows_path "$cache/wine-fonts")}
if [ ! -d "$cache/wine-fonts" ]; then
  mkdir -p "$cache/wine-fonts"
  ln -sf /usr/share/fonts/opentype/ipafont-gothic/*.ttf /usr/share/fonts/opentype/ipafont-mincho/*.ttf \
    /usr/share/fonts/opentype/noto/NotoSans*CJK*.ttc /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf \
    "$cache/wine-fonts/" 2>/dev/null || true
fi
while IFS='=' read -r name _; do
  export "WINE$name=${!name}"
done < <(env | grep -E '^QT_[A-Z0-9_]*=' || true)

exec wine "$@"
