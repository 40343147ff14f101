#!/usr/bin/env bash
# build-app.sh JOB [TARGET...] - installs what JOB needs (see setup-deps.sh) and builds the clock alone,
# optimised, with the app preset: what running it and packaging it both start from
set -euo pipefail
cd "$(dirname "$0")/.."
job=$1
shift
scripts/setup-deps.sh "$job"
cmake --preset app >/dev/null
[ $# -eq 0 ] || set -- --target "$@"
cmake --build --preset app --parallel "$(nproc)" "$@"
