#!/usr/bin/env bash
# build-qt-windows.sh - builds Qt for Windows, once, from Debian's source of the very Qt the host has
#
# Usage: scripts/build-qt-windows.sh           build it unless the cache already holds it
#        scripts/build-qt-windows.sh --dir     print where it is (or would be) installed
#        scripts/build-qt-windows.sh --check   fail, saying why, where this release's Qt is not one built here
#
# The cross build runs the host's moc, rcc and uic, so the target's Qt must be the host's version.
# The folder's name carries that version and a hash of the Debian package's version, of how Qt is
# configured below and of the toolchain file (comments aside): a change builds it again, beside the old.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
toolchain=$root/cmake/mingw-w64.cmake

package_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
qt_version=${package_version%%[+~-]*}
key=$({ echo "$package_version"; sed -n '/^features=(/,$p' "$0"; cat "$toolchain"; } | grep -v '^ *#' | sha256sum | cut -c1-12)
dest=${XDG_CACHE_HOME:-$HOME/.cache}/rupika-tokei/qt-windows-$qt_version-$key

if [ "${1:-}" = --dir ]; then
  echo "$dest"
  exit 0
fi
# Qt 6.4 (Debian 12) is the one built and tested here; Debian 13's 6.8 has not been tried.
case $qt_version in
  6.4.*) ;;
  *)
    echo "build-qt-windows: no Windows build with Qt $qt_version: only Debian 12's Qt 6.4 is built and tested for Windows" >&2
    exit 3
    ;;
esac
[ "${1:-}" = --check ] && exit 0
if [ -f "$dest/.built" ]; then
  echo "Qt $qt_version for Windows: $dest"
  exit 0
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/qt-windows.XXXXXX")
trap 'rm -rf "$work"' EXIT
start=$(date +%s)

# The source comes through a sources list of our own, so the machine's apt setup is left as it is.
. /etc/os-release
mkdir -p "$work/apt/lists/partial" "$work/apt/archives/partial"
echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian $VERSION_CODENAME main" \
  >"$work/apt/sources.list"
apt_private=(
  -o Dir::Etc::SourceList="$work/apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
  -o Dir::State::Lists="$work/apt/lists" -o Dir::Cache="$work/apt" -o Dir::Cache::Archives="$work/apt/archives"
  -o Debug::NoLocking=1 -o APT::Sandbox::User="$(id -un)"
)
apt-get "${apt_private[@]}" update -q
(cd "$work" && apt-get "${apt_private[@]}" source -q --download-only "qt6-base=$package_version")
dpkg-source -x "$work"/qt6-base_*.dsc "$work/qtbase" >/dev/null

# Only what the clock and its tests use: Core, Gui, Widgets, Test, the windows and offscreen
# platforms and the Windows styles, without the widgets and writers no window of the clock has.
# Everything Qt bundles is built in, since the MinGW tree has none of those libraries. The font
# database without direct2d must also go without directwrite3, tablets without Wintab, whose
# headers Debian leaves out of its source (their licence forbids changes), and the windows platform
# without OpenGL only where OpenGL is "no" (configure's -no-opengl) rather than merely off.
features=(
  network sql xml dbus concurrent printsupport opengl vulkan icu zstd jpeg direct2d directwrite3 tabletevent
  system_zlib system_png system_freetype system_harfbuzz system_pcre2 system_doubleconversion system_jpeg
  androiddeployqt pdf textodfwriter graphicsview mdiarea calendarwidget datetimeedit wizard colordialog
  fontdialog filedialog undoview columnview dial lcdnumber splashscreen fontcombobox keysequenceedit
)
off=()
for f in "${features[@]}"; do off+=("-DFEATURE_$f=OFF"); done
cmake -S "$work/qtbase" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$dest" \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DFEATURE_freetype=ON -DFEATURE_harfbuzz=ON -DINPUT_opengl=no \
  "${off[@]}"
cmake --build "$work/build" --parallel "${RUPIKA_JOBS:-$(nproc)}"
rm -rf "$dest"
cmake --install "$work/build" >/dev/null
touch "$dest/.built"
echo "Qt $qt_version for Windows built in $((($(date +%s) - start) / 60)) min: $dest ($(du -sh "$dest" | cut -f1))"
