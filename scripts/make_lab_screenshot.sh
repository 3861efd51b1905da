#!/bin/sh
# Makes resources/readme/lab.png, the README's picture of the Effects Lab:
# VireltaLab.exe under Wine in a private Xvfb, showing a generated picture
# after one effect typed into the argument dialog, with the Effects menu open.
# Needs the win32 build (BUILD_DIR, default build/win32), Wine, Xvfb,
# xdotool and ImageMagick.
#
#   scripts/make_lab_screenshot.sh [OUTPUT.png]
set -eu

repo=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$repo/resources/readme/lab.png}
build=${BUILD_DIR:-$repo/build/win32}
lab="$build/platforms/win32/VireltaLab.exe"
[ -f "$lab" ] || { echo "build VireltaLab.exe first (cmake --build --preset win32)" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid=""
lab_pid=""
cleanup() {
  [ -n "$lab_pid" ] && kill "$lab_pid" 2>/dev/null || true
  [ -d "$work/prefix" ] && WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A private X server; -displayfd picks a free display number.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"

python3 "$repo/tests/e2e/prefix.py" make "$work/prefix" >/dev/null
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# A picture with soft colours and sharp shapes, so the effect shows.
convert -size 480x320 gradient:'#2050a0-#f0c040' \
  -fill '#e03020' -draw 'circle 150,160 150,70' \
  -fill '#20a060' -draw 'rectangle 280,60 420,260' \
  -fill white -draw 'polygon 40,300 120,200 200,300' "BMP3:$work/picture.bmp"

wine "$lab" 'C:\picture.bmp' >/dev/null 2>&1 &
lab_pid=$!
cp "$work/picture.bmp" "$WINEPREFIX/drive_c/picture.bmp"

window=""
for _ in $(seq 1 100); do
  window=$(xdotool search --onlyvisible --name '^Virelta Effects Lab$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
  sleep 0.2
done
[ -n "$window" ] || { echo "the lab did not come up" >&2; exit 1; }
sleep 1
xdotool windowfocus --sync "$window"
# Effects > Rotate... through the menu's access keys; type the arguments and
# run, then drop the Effects menu down for the picture.
xdotool key --clearmodifiers alt+e r
sleep 1
xdotool key --clearmodifiers ctrl+a
xdotool type --clearmodifiers '30,True,,&HFFFFFF'
xdotool key --clearmodifiers Return
sleep 1
xdotool windowfocus --sync "$window"
xdotool key --clearmodifiers alt+e
sleep 1.5

mkdir -p "$(dirname "$out")"
import -window root "$work/screen.png"
# The lab's window and its dialog lie in the top left part of the screen.
convert "$work/screen.png" -crop 520x400+0+0 +repage -strip "$out"
echo "wrote $out ($(wc -c < "$out") bytes)"
