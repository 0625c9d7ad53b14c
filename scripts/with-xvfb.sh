#!/usr/bin/env bash
# Runs a command on a private X server with a window manager, so that tests never grab keys
# or open windows on the user's own display. The server goes away with the command. If the
# server or the window manager does not come up, it says so and fails: a run without a
# display must never pass.
set -euo pipefail

fail() {
  echo "with-xvfb: $*" >&2
  exit 1
}
for tool in Xvfb openbox xprop xdpyinfo; do
  command -v "$tool" >/dev/null || fail "$tool is missing (bash scripts/setup.sh --test)"
done

work=$(mktemp -d "${TMPDIR:-/tmp}/pellucor-xvfb.XXXXXX")
xvfb=
wm=
cleanup() {
  local status=$?
  set +e
  [[ -n "$wm" ]] && kill "$wm" 2>/dev/null
  [[ -n "$xvfb" ]] && kill "$xvfb" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
  exit "$status"
}
trap cleanup EXIT

# Xvfb writes the display number it chose once it accepts clients. -noreset: by default the
# server resets whenever its last client leaves, and a client connecting during that reset is
# refused (the probe below, then every test process that ends, would each trigger one).
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 300); do
  [[ -s "$work/display" ]] && break
  kill -0 "$xvfb" 2>/dev/null || break
  sleep 0.1
done
[[ -s "$work/display" ]] || fail "Xvfb did not start: $(tail -n 3 "$work/xvfb.log")"
export DISPLAY=":$(head -n 1 "$work/display")"
unset WAYLAND_DISPLAY
xdpyinfo >/dev/null 2>&1 || fail "Xvfb on $DISPLAY does not answer"

# The window manager is ready once it names its check window on the root and that window
# names it back.
openbox >"$work/wm.log" 2>&1 &
wm=$!
wm_ready() {
  local check
  check=$(xprop -root -notype _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -o '0x[0-9a-f]*$') ||
    return 1
  xprop -id "$check" -notype _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "$check"
}
for _ in $(seq 300); do
  wm_ready && break
  kill -0 "$wm" 2>/dev/null || break
  sleep 0.1
done
if ! wm_ready; then
  kill -0 "$xvfb" 2>/dev/null || echo "with-xvfb: Xvfb has ended: $(tail -n 3 "$work/xvfb.log")" >&2
  fail "openbox did not come up on $DISPLAY: $(tail -n 3 "$work/wm.log")"
fi

# Not exec: the trap ends the server once the command is done, and the command's status stays.
"$@"
