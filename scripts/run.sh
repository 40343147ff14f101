#!/usr/bin/env bash
# run.sh - installs what is missing, builds the clock and starts it
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/build-app.sh run rupika-tokei
binary=build/app/app/rupika-tokei

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  shot=${TMPDIR:-/tmp}/rupika-tokei.png
  echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): writing a screenshot of the clock instead."
  exec "$binary" --screenshot "$shot" "$@"
fi
exec "$binary" "$@"
