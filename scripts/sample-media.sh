#!/usr/bin/env bash
# Makes two short sample recordings of the same "event" to try Pellucor with: a test picture
# with a running counter and a tone in each, different in colour and pitch, so that you see and
# hear both players keep together. Needs ffmpeg. Usage: sample-media.sh [folder]
set -euo pipefail
folder=${1:-$HOME/pellucor-samples}
seconds=60
if ! command -v ffmpeg >/dev/null; then
  echo "sample-media: needs ffmpeg (sudo apt-get install ffmpeg)" >&2
  exit 1
fi
mkdir -p "$folder"
make_take() {
  local out=$1 picture=$2 pitch=$3
  ffmpeg -hide_banner -loglevel error -nostdin -y \
    -f lavfi -i "$picture=size=640x360:rate=25:duration=$seconds" \
    -f lavfi -i "sine=frequency=$pitch:sample_rate=48000:duration=$seconds" \
    -c:v libx264 -preset veryfast -crf 30 -g 25 -pix_fmt yuv420p -c:a flac -shortest "$out"
}
make_take "$folder/take1.mkv" testsrc 440
make_take "$folder/take2.mkv" testsrc2 660
echo "sample-media: wrote $folder/take1.mkv and $folder/take2.mkv ($seconds s each)"
echo "Open them with file > open file 1 (Ctrl+N) and open file 2, then press F3."
