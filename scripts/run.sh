#!/usr/bin/env bash
# Sets everything up, builds and runs the product on this desktop.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh default
if [[ -z "${DISPLAY:-}" ]]; then
  echo "No desktop found (DISPLAY is empty); running on a virtual one." >&2
  exec bash scripts/with-desktop.sh build/default/bin/LogWatch "$@"
fi
exec build/default/bin/LogWatch "$@"
