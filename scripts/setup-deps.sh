#!/usr/bin/env bash
# setup-deps.sh - installs the Debian packages one of the project's jobs needs, if missing
#
# Usage: scripts/setup-deps.sh run|package|test|windows [more packages...]
#   run      build the clock and start it
#   package  that, and make the Debian package (scripts/package.sh)
#   test     all of the above, and build and run every test and benchmark
#   windows  all of the above, the cross compilers, Wine and NSIS, and Qt built for Windows
#            (scripts/build-qt-windows.sh, once: it is kept in the user's cache)
set -euo pipefail

# Each set adds to the one before it; a new tool goes in the first set whose job needs it.
run=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libxcb1-dev qt6-translations-l10n libcanberra-dev libpulse-dev
  fonts-ipafont-gothic fonts-ipafont-mincho
)
package=(
  dpkg-dev file
)
test=(
  libgtest-dev libbenchmark-dev
  fonts-noto-cjk
  xvfb xauth xdotool x11-utils x11-xkb-utils faketime imagemagick openbox wmctrl xclip
  weston xwayland qt6-wayland dbus-daemon adwaita-qt6
  xdg-desktop-portal xdg-desktop-portal-gtk gnome-session-bin # the desktop's real power services
  pulseaudio pulseaudio-utils sox sound-theme-freedesktop libcanberra-pulse libasound2-plugins
  clang libclang-rt-dev # the sanitizers' and libFuzzer's runtimes, for whichever clang the release has
  llvm # llvm-symbolizer: without it a sanitizer's report of a clang build is bare addresses
  binutils-mingw-w64-x86-64
  lintian desktop-file-utils appstream
)
windows=(
  g++-mingw-w64-x86-64-posix wine wine64 nsis
  locales # the Japanese locale's sources, which Wine's prefix is compiled against
)

job=${1:-}
case "$job" in
  run) packages=("${run[@]}") ;;
  package) packages=("${run[@]}" "${package[@]}") ;;
  test) packages=("${run[@]}" "${package[@]}" "${test[@]}") ;;
  windows) packages=("${run[@]}" "${package[@]}" "${test[@]}" "${windows[@]}") ;;
  *)
    echo "usage: $0 run|package|test|windows [more packages...]" >&2
    exit 2
    ;;
esac
shift
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing missing Debian packages: ${missing[*]}"
  sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "setup-deps: need root (or sudo) to install: ${missing[*]}" >&2; exit 1; }
    sudo=(sudo)
  fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -q
  "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
if [ "$job" = windows ]; then
  "$(dirname "$0")/build-qt-windows.sh"
fi
