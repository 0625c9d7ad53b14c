#!/usr/bin/env bash
# Configures and builds Pellucor into build/ (all targets, or the ones named).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
if (($#)); then
  for t in "$@"; do cmake --build build --target "$t" -j"$(nproc)"; done
else
  cmake --build build -j"$(nproc)"
fi
