#!/usr/bin/env bash
# Installs what is missing (the test tools too), builds everything and runs the whole test
# suite on a private X server, all as the user who owns this work tree. A failing test fails
# the run: flakes are found and fixed, not retried.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --test
bash scripts/as-owner.sh bash scripts/build.sh -DPELLUCOR_TESTS=ON
exec bash scripts/as-owner.sh bash scripts/with-xvfb.sh \
  ctest --test-dir build --output-on-failure -j2 --timeout 300
