#!/usr/bin/env bash
# Runs a command in a private Wayland desktop: its own session bus and a headless weston with
# Xwayland, nothing of the user's. The first argument says where the tests run Qt:
# "xwayland" (Qt on xcb through weston's Xwayland) or "wayland" (Qt on Wayland).
set -euo pipefail
mode=$1
shift
case $mode in
  xwayland) export PELLUCOR_TEST_QPA=xcb ;;
  wayland) export PELLUCOR_TEST_QPA=wayland ;;
  *) echo "usage: $0 xwayland|wayland command..." >&2; exit 2 ;;
esac

runtime=$(mktemp -d /tmp/pellucor-wayland.XXXXXX)
chmod 700 "$runtime"
export XDG_RUNTIME_DIR=$runtime XDG_SESSION_TYPE=wayland
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM DBUS_SESSION_BUS_ADDRESS

: >"$runtime/weston.log"  # before weston starts: the loop below reads it at once
weston --backend=headless-backend.so --xwayland --socket=wayland-test --idle-time=0 \
  --width=1280 --height=1024 >"$runtime/weston.log" 2>&1 &
weston=$!
cleanup() {
  kill "$weston" 2>/dev/null || true
  wait "$weston" 2>/dev/null || true
  rm -rf "$runtime"
}
trap cleanup EXIT

# Weston names its X display in its log once Xwayland listens.
display=
for _ in $(seq 200); do
  display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$runtime/weston.log")
  [[ -n $display && -S $runtime/wayland-test ]] && break
  kill -0 "$weston" 2>/dev/null || { cat "$runtime/weston.log" >&2; exit 1; }
  sleep 0.1
done
if [[ -z $display ]]; then
  echo "weston did not start Xwayland" >&2
  cat "$runtime/weston.log" >&2
  exit 1
fi
export WAYLAND_DISPLAY=wayland-test DISPLAY=$display

dbus-run-session --config-file="$(dirname "$0")/private-bus.conf" -- "$@"
