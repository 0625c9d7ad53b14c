#!/usr/bin/env bash
# scripts/with-xvfb.sh must fail whenever the private display is not really there, so that a
# test run without one can never pass; and it must hand the command's own status back.
set -uo pipefail
with_xvfb=$(dirname "$0")/../../scripts/with-xvfb.sh
fakes=$(mktemp -d)
trap 'rm -rf "$fakes"' EXIT
failures=0

# expect <name> <wanted status> <fake programs, "name=body" each> -- <command>
expect() {
  local name=$1 wanted=$2
  shift 2
  rm -rf "${fakes:?}"/*
  while [[ "$1" != -- ]]; do
    printf '#!/bin/sh\n%s\n' "${1#*=}" >"$fakes/${1%%=*}"
    chmod +x "$fakes/${1%%=*}"
    shift
  done
  shift
  local status=0
  PATH="$fakes:$PATH" bash "$with_xvfb" "$@" >/dev/null 2>&1 || status=$?
  if [[ "$status" != "$wanted" ]]; then
    echo "FAIL $name: status $status, wanted $wanted"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

expect XvfbThatCannotStart 1 "Xvfb=echo 'no screens' >&2; exit 1" -- true
expect XvfbThatNamesADisplayNobodyServes 1 "Xvfb=echo 65000 >&3; exec sleep 60" -- true
expect WindowManagerThatEndsAtOnce 1 "openbox=exit 0" -- true
expect CommandStatusPassesThrough 7 -- sh -c 'exit 7'
expect CommandSeesTheServerAndItsWindowManager 0 -- \
  sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'
exit $((failures > 0))
