#!/usr/bin/env bash
# package.sh [windows] - installs what is missing, builds the clock and makes its package in the project folder:
# the Debian package rupika-tokei_<version>_<arch>.deb, or with `windows` the 64-bit Windows installer
# rupika-tokei-<version>-win64.exe (cross-built; Qt for Windows is built first if the cache lacks it)
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = windows ]; then
  scripts/setup-deps.sh windows
  cmake --preset windows -DRUPIKA_TESTS=OFF
  cmake --build --preset windows --parallel "$(nproc)"
  out=build/windows/package
  rm -rf "$out"
  cpack --config build/windows/CPackConfig.cmake -G NSIS -B "$out"
  mv "$out"/rupika-tokei-*-win64.exe .
  ls rupika-tokei-*-win64.exe
  exit
fi
scripts/build-app.sh package
out=build/app/package
rm -rf "$out"
cpack --config build/app/CPackConfig.cmake -G DEB -B "$out"
mv "$out"/rupika-tokei_*.deb .
ls rupika-tokei_*.deb
