#!/usr/bin/env bash
# windows-installer.sh WINE CPACK BUILD_DIR - makes the Windows installer from a build tree, and Windows under
# Wine (WINE runs a Windows program) installs it silently into a prefix of its own: the Start menu has
# ルピカ時計, the clock starts with nothing but what was installed, and the uninstaller takes it all away.
set -u
fail() { echo "FAIL: $*"; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$2" --config "$3/CPackConfig.cmake" -G NSIS -B "$out" >/dev/null || fail "CPack made no installer"
installer=$(echo "$out"/rupika-tokei-*-win64.exe)
echo "$(basename "$installer"): $(du -k "$installer" | cut -f1) kB"
export RUPIKA_WINEPREFIX=$out/prefix
"$1" "$installer" /S || fail "the installer ended with status $?"
folder="$out/prefix/drive_c/Program Files/ルピカ時計"
[ -f "$folder/bin/rupika-tokei.exe" ] || fail "no clock in $folder: $(ls -R "$out/prefix/drive_c/Program Files")"
echo "installed: $(du -sk "$folder" | cut -f1) kB"
entries() { find "$out/prefix/drive_c" -path '*Start Menu*' -name 'ルピカ時計.lnk' | wc -l; }
[ "$(entries)" -ge 1 ] || fail "no ルピカ時計 in the Start menu"
# Without the build's PATH to Qt and MinGW: what was installed alone, its platform plugin too.
(cd "$out" && WINEPREFIX=$out/prefix WINEDEBUG=-all wine "$folder/bin/rupika-tokei.exe" -platform offscreen \
    --screenshot shot.png >/dev/null 2>&1)
[ "$(identify -format %wx%h "$out/shot.png" 2>/dev/null)" == 380x172 ] || fail "the installed clock drew no window"
"$1" "$folder/Uninstall.exe" /S || fail "the uninstaller ended with status $?"
WINEPREFIX=$out/prefix wineserver -w # it finishes from a copy of itself
[ ! -e "$folder" ] || fail "left behind: $(find "$folder")"
[ "$(entries)" -eq 0 ] || fail "the Start menu still has ルピカ時計"
echo "passed"
