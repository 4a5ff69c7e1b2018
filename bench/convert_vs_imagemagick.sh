#!/usr/bin/env bash
# Times tavrin-label convert-picture against ImageMagick on the same 4000 x 3000 JPEG, both
# scaled to 800 x 600 and dithered to one bit. Needs ImageMagick (Debian imagemagick).
# usage: bench/convert_vs_imagemagick.sh [path/to/tavrin-label]
set -euo pipefail
tavrin=${1:-build/src/cli/tavrin-label}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
convert -seed 5 -size 4000x3000 plasma:fractal -quality 90 "$work/photo.jpg"
for run in 1 2 3; do
  /usr/bin/time -f "tavrin-label  %e s wall  %U s user  %M KB" \
    "$tavrin" convert-picture "$work/photo.jpg" -o "$work/ours.bmp" --width 800 --height 600 >/dev/null
  /usr/bin/time -f "ImageMagick   %e s wall  %U s user  %M KB" \
    convert "$work/photo.jpg" -resize 800x600 -colorspace gray -dither FloydSteinberg -monochrome "BMP3:$work/im.bmp"
done
