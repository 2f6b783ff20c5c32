#!/usr/bin/env bash
# Sets everything up, builds and runs every test (unit and end-to-end, the
# desktop ones under Xvfb). Extra arguments go to ctest (for example -L unit).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh default
bash scripts/with-desktop.sh ctest --preset default -j "$(nproc)" "$@"
