#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite on a private
# X server.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
# Tests that play in real time share two cores with everything else on the machine; one that
# fails gets a second run, and only a second failure counts.
bash scripts/with-xvfb.sh ctest --test-dir build --output-on-failure -j2 --timeout 300 \
  --repeat until-pass:2
