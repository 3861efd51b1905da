#!/bin/sh
# Makes resources/readme/virelta.gif, the README's picture of the effect: the
# saver window run by virelta-render on a synthetic desktop, three cycles,
# each reset to the untouched desktop held for a moment. ImageMagick is
# needed here only, never by the program.
#
#   scripts/make_readme_gif.sh [OUTPUT.gif]      (BUILD_DIR=... to reuse a build)
set -eu

repo=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$repo/resources/readme/virelta.gif}
build=${BUILD_DIR:-$repo/build/readme-gif}
if command -v magick >/dev/null 2>&1; then convert="magick"; else convert="convert"; fi

cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target virelta-render virelta-preview-picture >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$build/tools/virelta-preview-picture" desktop 480 300 "$work/desktop.bmp"

# Four tiles of fixed sizes that suit the small screen; the other settings
# are the saver's defaults (10 degrees a step, one turn, anti-aliased).
{
  printf '[Section]\r\n'
  for tile in "0 120 96" "1 104 112" "2 136 88" "3 96 96"; do
    set -- $tile
    printf 'Action%s= 1\r\nWidth%s= %s\r\nHeight%s= %s\r\nRandom%s= 0\r\n' "$1" "$1" "$2" "$1" "$3" "$1"
  done
} > "$work/readme.ini"

# Three cycles; each reset frame (every 38th) shows the desktop for a moment.
"$build/tools/virelta-render" --settings="$work/readme.ini" --seed=11 --steps=114 --write=all \
  "$work/desktop.bmp" "$work/frames" > "$work/frames.json" 2>/dev/null
frames=""
for n in $(seq 1 114); do
  frame=$(printf '%s/frames/frame-%05d.bmp' "$work" "$n")
  if [ $((n % 38)) -eq 0 ]; then frames="$frames -delay 80 $frame"; else frames="$frames -delay 3 $frame"; fi
done

# shellcheck disable=SC2086  # the frame list is meant to split into words
$convert $frames -loop 0 -dither None -colors 192 -layers Optimize "$out"
echo "wrote $out ($(wc -c < "$out") bytes)"
