#!/usr/bin/env bash
# package.sh - installs what is missing, builds the clock alone and makes the Debian
# package rupika-tokei_<version>_<arch>.deb in the project folder
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/build-app.sh package
out=build/app/package
rm -rf "$out"
cpack --config build/app/CPackConfig.cmake -G DEB -B "$out"
mv "$out"/rupika-tokei_*.deb .
ls rupika-tokei_*.deb
