#!/usr/bin/env bash
# Renders data/icons/: the window's own 16 and 32 pixel images (window/icons/pellucor.ico, with
# the white background made transparent) and the larger sizes, drawn from the same 32-pixel
# grid as data/icons/org.pellucor.Pellucor.svg. Run it after changing either; needs ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/.."
out=data/icons
convert 'window/icons/pellucor.ico[0]' -transparent white "PNG32:$out/16x16.png"
convert 'window/icons/pellucor.ico[1]' -transparent white "PNG32:$out/32x32.png"
for size in 48 64 128 256; do
  s=$(awk "BEGIN { print $size / 32 }")
  convert -size "${size}x${size}" xc:none -stroke '#5a5a5a' -strokewidth 1 \
    -draw "scale $s,$s fill #143cc8 roundrectangle 2.5,4.5 19.5,21.5 0.75,0.75" \
    -draw "scale $s,$s fill #c82828 roundrectangle 12.5,10.5 29.5,27.5 0.75,0.75" \
    -draw "scale $s,$s fill #ffc080 roundrectangle 10.5,24.5 21.5,29.5 0.75,0.75" \
    "PNG32:$out/${size}x${size}.png"
done
echo "wrote $out/*.png"
