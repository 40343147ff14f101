#!/usr/bin/env bash
# test.sh - sets up everything on a fresh Debian 12 or 13 machine, builds and runs every test
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-dev}

scripts/setup-deps.sh test
cmake --preset "$preset"
cmake --build --preset "$preset" --parallel "$(nproc)"
ctest --preset "$preset" --parallel "$(nproc)"
