#!/bin/sh
# Draws the program icon resources/virelta.ico with ImageMagick: a small
# desktop picture in which two tiles stand turned on black, as the saver shows
# them. Sizes 256 (PNG), 48, 32 and 16 in true colour with alpha, and 32 and 16
# in 256 colours for old shells.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The desktop: sky over a green hill with a sun.
convert -size 256x256 gradient:'#2b6cc4'-'#9fd3ff' \
  -fill '#3f9a3a' -draw 'ellipse 128,300 220,120 0,360' \
  -fill '#ffd54a' -draw 'circle 196,58 196,84' \
  "$work/desktop.png"

# One tile: a square cut from the desktop, turned by an angle over a black
# square of the tile's size, put back at its place.
tile() { # x y size angle output
  convert "$work/desktop.png" -crop "$3x$3+$1+$2" +repage \
    -background black -rotate "$4" -gravity center -extent "$3x$3" "$5"
}
tile 24 96 112 28 "$work/tile1.png"
tile 132 28 96 -17 "$work/tile2.png"
convert "$work/desktop.png" \
  "$work/tile1.png" -geometry +24+96 -composite \
  "$work/tile2.png" -geometry +132+28 -composite \
  -fill none -stroke '#0b1d3a' -strokewidth 6 -draw 'rectangle 3,3 252,252' \
  -depth 8 "PNG32:$work/icon256.png"

for size in 48 32 16; do
  convert "$work/icon256.png" -resize "${size}x${size}" -alpha on "$work/icon$size.png"
done
for size in 32 16; do
  convert "$work/icon256.png" -resize "${size}x${size}" -alpha off -dither None -colors 256 -type Palette \
    "BMP3:$work/icon${size}p.bmp"
done

convert "$work/icon256.png" "$work/icon48.png" "$work/icon32.png" "$work/icon16.png" \
  "$work/icon32p.bmp" "$work/icon16p.bmp" "$here/resources/virelta.ico"
echo "wrote $here/resources/virelta.ico"
