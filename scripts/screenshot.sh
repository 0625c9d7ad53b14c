#!/usr/bin/env bash
# Renders docs/screenshot.png: the window with a video in each player, on a private X server.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh pellucor_screenshot
media=$(mktemp -d)
trap 'rm -rf "$media"' EXIT
ffmpeg -loglevel error -f lavfi -i testsrc2=size=640x360:rate=25:duration=10 \
  -f lavfi -i sine=frequency=440:duration=10 -shortest "$media/take1.mp4"
ffmpeg -loglevel error -f lavfi -i smptehdbars=size=640x360:rate=25:duration=10 \
  -f lavfi -i sine=frequency=660:duration=10 -shortest "$media/take2.mp4"
mkdir -p docs
bash scripts/with-xvfb.sh build/tools/screenshot/pellucor_screenshot docs/screenshot.png \
  "$media/take1.mp4" "$media/take2.mp4"
echo "wrote docs/screenshot.png"
