#!/usr/bin/env bash
# Installs what is missing, builds Pellucor and starts it on the current display.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh Pellucor
exec build/app/Pellucor
