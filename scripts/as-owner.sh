#!/usr/bin/env bash
# Runs a command as the user who owns this work tree. Started by root (directly, through sudo
# or su) in a user's tree, the command drops to that user, so the build leaves no root-owned
# file behind and the program joins the user's own sound server and session bus. In a tree
# that root owns (CI), or run by the owner, the command runs as it is.
set -euo pipefail
owner=$(stat -c %U "$(dirname "$0")/..")
if ((EUID != 0)) || [[ "$owner" == root ]]; then
  exec "$@"
fi
uid=$(id -u "$owner")
# Root's runtime folder and bus are no use to the user; take the user's own where there is one.
unset XDG_RUNTIME_DIR DBUS_SESSION_BUS_ADDRESS
if [[ -d /run/user/$uid ]]; then
  export XDG_RUNTIME_DIR=/run/user/$uid
  [[ -S /run/user/$uid/bus ]] && export DBUS_SESSION_BUS_ADDRESS=unix:path=/run/user/$uid/bus
fi
exec runuser -u "$owner" -- "$@"
