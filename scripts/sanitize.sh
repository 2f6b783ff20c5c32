#!/usr/bin/env bash
# Builds the asan and tsan presets and runs the unit tests under each.
set -euo pipefail
cd "$(dirname "$0")/.."
for preset in asan tsan; do
  bash scripts/build.sh "$preset"
  bash scripts/with-desktop.sh ctest --preset "$preset" -j "$(nproc)"
done
