#!/usr/bin/env bash
# Runs a command on a desktop of its own: Xvfb (1920x1080) with the openbox
# window manager, both ended when the command ends. Its exit code is the command's.
set -euo pipefail
display=""
for n in $(seq 90 140); do
  if [[ ! -e /tmp/.X11-unix/X$n && ! -e /tmp/.X$n-lock ]]; then display=":$n"; break; fi
done
[[ -n "$display" ]] || { echo "no free X display number" >&2; exit 1; }

Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
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
