#!/usr/bin/env bash
# Configures and builds Pellucor into build/: all targets, or the ones named. Leading -D...
# arguments go to the configuration (e.g. -DPELLUCOR_TESTS=ON).
set -euo pipefail
cd "$(dirname "$0")/.."
options=()
while (($#)) && [[ "$1" == -D* ]]; do
  options+=("$1")
  shift
done
if [[ -e build ]] && [[ -n "$(find build -maxdepth 2 ! -user "$(id -u)" -print -quit)" ]]; then
  echo "build: build/ holds files of another user (an earlier build as root?)." >&2
  echo "build: remove it as that user or root (rm -rf build) and run again." >&2
  exit 1
fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" >/dev/null
if (($#)); then
  for t in "$@"; do cmake --build build --target "$t" -j"$(nproc)"; done
else
  cmake --build build -j"$(nproc)"
fi
