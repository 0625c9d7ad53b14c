#!/usr/bin/env bash
# Installs what building and running need (with sudo, only when something is missing), builds
# Pellucor and starts it on the current display, all as the user who owns this work tree.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/as-owner.sh bash scripts/build.sh Pellucor
exec bash scripts/as-owner.sh build/app/pellucor "$@"
