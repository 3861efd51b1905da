#!/bin/sh
# Makes the small pictures the layer's tests load, with ImageMagick. Their
# pixels are known by hand: see picture_files_test.cpp.
set -eu
cd "$(dirname "$0")"
# 4 x 3: red green blue white / black yellow cyan magenta / four greys and browns.
convert -size 4x3 xc:black \
  -fill '#FF0000' -draw 'point 0,0' -fill '#00FF00' -draw 'point 1,0' \
  -fill '#0000FF' -draw 'point 2,0' -fill '#FFFFFF' -draw 'point 3,0' \
  -fill '#000000' -draw 'point 0,1' -fill '#FFFF00' -draw 'point 1,1' \
  -fill '#00FFFF' -draw 'point 2,1' -fill '#FF00FF' -draw 'point 3,1' \
  -fill '#808080' -draw 'point 0,2' -fill '#402010' -draw 'point 1,2' \
  -fill '#102040' -draw 'point 2,2' -fill '#C86432' -draw 'point 3,2' \
  small.png
convert small.png -type TrueColor BMP3:small.bmp
convert small.png small.gif
# 16 x 16 in four flat quadrants (red, green / blue, white): JPEG keeps flat
# areas close, icons and cursors keep them exact.
convert -size 8x8 xc:'#FF0000' -size 8x8 xc:'#00FF00' +append \
  \( -size 8x8 xc:'#0000FF' -size 8x8 xc:'#FFFFFF' +append \) -append -alpha off quadrants.png
convert quadrants.png -quality 100 quadrants.jpg
convert quadrants.png -alpha on quadrants.ico
# A cursor file is the icon file with type 2 and a hot spot (3, 5) where the
# icon keeps planes and bit count.
python3 -c 'import sys; b = bytearray(open("quadrants.ico", "rb").read()); b[2] = 2; b[10:14] = bytes([3, 0, 5, 0]); open("quadrants.cur", "wb").write(b)'
rm small.png quadrants.png
