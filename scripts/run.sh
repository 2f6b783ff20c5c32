#!/usr/bin/env bash
# Sets everything up, builds and runs the receiver, Velaport, on this desktop
# (it starts its helper VelaportService beside it; Ctrl+C ends both).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh default
if [[ -z "${DISPLAY:-}" ]]; then
  echo "No desktop found (DISPLAY is empty); running on a virtual one." >&2
  exec bash scripts/with-desktop.sh build/default/bin/Velaport "$@"
fi
exec build/default/bin/Velaport "$@"
