#!/usr/bin/env bash
# Runs a command on a private X server with a window manager, so that tests never grab keys
# or open windows on the user's own display. The server goes away with the command.
set -euo pipefail

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>/tmp/pellucor-xvfb.$$ &
xvfb=$!
for _ in $(seq 100); do
  [[ -s /tmp/pellucor-xvfb.$$ ]] && break
  sleep 0.1
done
display=":$(cat /tmp/pellucor-xvfb.$$)"
rm -f /tmp/pellucor-xvfb.$$
export DISPLAY=$display
unset WAYLAND_DISPLAY

openbox >/dev/null 2>&1 &
wm=$!
cleanup() { kill "$wm" "$xvfb" 2>/dev/null || true; wait 2>/dev/null || true; }
trap cleanup EXIT

"$@"
