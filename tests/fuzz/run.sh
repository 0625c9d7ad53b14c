#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each one, nice'd.
#   tests/fuzz/run.sh replay      every corpus file once (CI: about a minute after the build)
#   tests/fuzz/run.sh SECONDS     each target for SECONDS, new finds kept in build-fuzz/corpus-*
# Crashes land in build-fuzz/findings/. Exit status is non-zero when a target found a fault.
set -euo pipefail
cd "$(dirname "$0")/../.."
mode=${1:-replay}
here=tests/fuzz
build=build-fuzz

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
  -DPELLUCOR_FUZZ=ON -DPELLUCOR_TESTS=OFF >/dev/null
nice cmake --build "$build" --target fuzz_number fuzz_loadfile -j"$(nproc)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# With sound: the player is never shown, so it takes no picture and a silent video is refused.
ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi -i testsrc=size=64x48:rate=10:duration=1 \
  -f lavfi -i sine=sample_rate=44100:duration=1 -c:v libx264 -preset ultrafast -pix_fmt yuv420p \
  -c:a flac -shortest "$work/good.mkv"
export PELLUCOR_FUZZ_GOOD_FILE=$work/good.mkv
export QT_QPA_PLATFORM=offscreen
# Qt and libmpv are not built for the leak checker; what they keep until exit is not ours.
export ASAN_OPTIONS=detect_leaks=0
mkdir -p "$build/findings"

# An input may take two opens of the player's 5 s bound, with room for a sanitized build on a
# busy machine; a longer one is a hang.
run() {
  local target=$1
  shift
  if [[ $mode == replay ]]; then
    nice "$build/tests/fuzz/$target" -runs=0 -timeout=30 "$here/corpus/${target#fuzz_}"
  else
    mkdir -p "$build/corpus-$target"
    nice "$build/tests/fuzz/$target" -max_total_time="$mode" -timeout=30 \
      -artifact_prefix="$build/findings/$target-" "$@" \
      "$build/corpus-$target" "$here/corpus/${target#fuzz_}"
  fi
}

run fuzz_number -max_len=4096
run fuzz_loadfile -max_len=65536 -rss_limit_mb=4096
