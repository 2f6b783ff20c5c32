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

wm_log=$(mktemp)
cleanup() {
  kill "${wm_pid:-}" 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -f "$wm_log"
}
trap cleanup EXIT
export DISPLAY="$display"
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
# The window manager claims the screen within moments; on a busy machine it
# has been seen to end before doing so, so it gets a few tries, and its own
# words are shown when it never comes up.
wm_up=false
for _ in 1 2 3; do
  openbox >"$wm_log" 2>&1 &
  wm_pid=$!
  for _ in $(seq 200); do
    if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
      wm_up=true
      break
    fi
    kill -0 "$wm_pid" 2>/dev/null || break
    sleep 0.05
  done
  $wm_up && break
  kill "$wm_pid" 2>/dev/null || true
  wait "$wm_pid" 2>/dev/null || true
done
$wm_up || { echo "with-desktop: the window manager did not start:" >&2; cat "$wm_log" >&2; }
set +e
"$@"
status=$?
exit $status
