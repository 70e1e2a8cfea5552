#!/usr/bin/env bash
# The main job: builds the relief saver's effect and renders it over the
# built-in desktop picture into PNG frames and an animated preview; then runs
# the real ondrels.scr under Wine: full screen until a key on a machine with a
# display, or on a virtual display with a few screenshots on a headless one.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh" native >/dev/null

out=${OUT:-$top/out}
frames=$out/relief/frames
rm -rf "$out/relief"
mkdir -p "$frames"

echo "rendering the relief saver at 1024x768 over the built-in desktop..."
"$top/build/native/bin/saver-render" relief --size 1024x768 --seed 20261207 --frames 480 --every 4 \
  --set UseColor=1 --set Soften=2 --out "$frames" --trace >"$out/relief/trace.txt"

# The preview shows every fourth frame at half size.
convert -delay 8 -loop 0 "$frames"/frame-*.png -resize 50% -layers Optimize "$out/relief/preview.gif"

"$top/scripts/run-ondrels.sh" "$out/ondrels"

echo
echo "frames:  $frames ($(ls "$frames" | wc -l) PNG files, 1024x768)"
echo "preview: $out/relief/preview.gif"
echo "trace:   $out/relief/trace.txt"
[ -d "$out/ondrels/screenshots" ] && echo "ondrels.scr under Wine: $out/ondrels/screenshots ($(ls "$out/ondrels/screenshots" | wc -l) screenshots)"
