#!/bin/sh
# The layer's test pictures (ImageMagick): 16 x 16 in flat quadrants, red, green /
# blue, white. The cursor is the icon file with type 2 and a hot spot (3, 5).
set -eu
cd "$(dirname "$0")"
convert -size 8x8 xc:'#FF0000' -size 8x8 xc:'#00FF00' +append \
  \( -size 8x8 xc:'#0000FF' -size 8x8 xc:'#FFFFFF' +append \) -append -alpha on quadrants.ico
python3 -c 'b = bytearray(open("quadrants.ico", "rb").read()); b[2] = 2; b[10:14] = bytes([3, 0, 5, 0]); open("quadrants.cur", "wb").write(b)'
