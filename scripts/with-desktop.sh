#!/usr/bin/env bash
# Runs a command on a desktop of its own: Xvfb (1920x1080) with the openbox
# window manager, both ended when the command ends. Its exit code is the command's.
set -euo pipefail
# Xvfb picks a free display number itself and reports it once it accepts
# clients: choosing one here first would race with other desktops starting
# at the same moment, and two test runs would then share one screen.
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 200); do
  [[ -s "$display_file" ]] && break
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.05
done
display=":$(tr -dc 0-9 <"$display_file")"
rm -f "$display_file"
[[ "$display" != ":" ]] || { echo "Xvfb did not start" >&2; kill "$xvfb_pid" 2>/dev/null; exit 1; }

cleanup() {
  kill "${wm_pid:-}" 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY="$display"
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
openbox >/dev/null 2>&1 &
wm_pid=$!
# Give the window manager a moment to claim the screen.
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.05
done
set +e
"$@"
status=$?
exit $status
