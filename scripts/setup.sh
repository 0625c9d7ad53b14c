#!/usr/bin/env bash
# Installs, only when missing, every Debian 12 package that building, running and
# testing Pellucor needs. A second run only checks and takes a few seconds.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev libqt6opengl6-dev libgl-dev
  libmpv-dev
  libxcb1-dev libxcb-keysyms1-dev libxcb-xtest0-dev
  googletest libgtest-dev libgmock-dev
  xvfb xauth xdotool openbox x11-utils
  ffmpeg
  mpv
  fonts-dejavu-core
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
  echo "setup: all packages present"
fi
