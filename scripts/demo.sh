#!/usr/bin/env bash
# The main job: builds the relief saver's effect and renders it over the
# built-in desktop picture into PNG frames and an animated preview; then runs
# the real ondrels.scr under Wine: full screen until a key on a machine with a
# display, or on a virtual display with a few screenshots on a headless one.
# Last it renders a few of the terrain saver's wipes over the same desktop,
# one animation each, and redraws docs/wipes.gif from them.
#
# `demo.sh wipes` does only the last part.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
only=${1:-}
case "$only" in
  "" | wipes) ;;
  *) echo "demo: unknown part '$only' (only 'wipes')" >&2; exit 2 ;;
esac
"$top/scripts/setup.sh"
"$top/scripts/build.sh" native >/dev/null
render=$top/build/native/bin/saver-render

out=${OUT:-$top/out}

if [ -z "$only" ]; then
  frames=$out/relief/frames
  rm -rf "$out/relief"
  mkdir -p "$frames"

  echo "rendering the relief saver at 1024x768 over the built-in desktop..."
  "$render" relief --size 1024x768 --seed 20261207 --frames 480 --every 4 \
    --set UseColor=1 --set Soften=2 --out "$frames" --trace >"$out/relief/trace.txt"

  # The preview shows every fourth frame at half size.
  convert -delay 8 -loop 0 "$frames"/frame-*.png -resize 50% -layers Optimize "$out/relief/preview.gif"

  "$top/scripts/run-ondrels.sh" "$out/ondrels"
fi

# Wipes: number and directory name. Each directory gets every pause's picture
# (pause-NNNNN.png), the cleared frame (final.png), the summary line
# (trace.txt) and an animation lasting about 2.5 s (wipe.gif).
wipes=(1:venetian 4:circle 8:random-squares 9:spiral 12:circle-inner 13:star-outer)
rm -rf "$out/wipes"
echo "rendering ${#wipes[@]} wipes at 512x384 over the built-in desktop..."
for entry in "${wipes[@]}"; do
  number=${entry%%:*} dir=$out/wipes/${entry#*:}
  mkdir -p "$dir"
  "$render" wipe --size 512x384 --seed 20261207 --number "$number" --out "$dir" --trace >"$dir/trace.txt" 2>/dev/null
  pauses=$(find "$dir" -name 'pause-*.png' | wc -l)
  delay=$(( pauses > 0 ? (250 + pauses - 1) / pauses : 100 ))
  convert -delay "$delay" "$dir"/pause-*.png -delay 120 "$dir/final.png" -loop 0 -layers Optimize "$dir/wipe.gif"
done

# docs/wipes.gif: the six wipes side by side at half size, shown at the same
# fraction of their pauses in each frame, from 1/13 to 12/13 of the way.
sheets=$out/wipes/.sheets
mkdir -p "$sheets"
steps=12
for ((i = 1; i <= steps; i++)); do
  tiles=()
  for entry in "${wipes[@]}"; do
    dir=$out/wipes/${entry#*:}
    pauses=$(find "$dir" -name 'pause-*.png' | wc -l)
    k=$(( (i * pauses + steps) / (steps + 1) ))
    if [ "$k" -ge 1 ]; then tiles+=("$(printf '%s/pause-%05d.png' "$dir" "$k")"); else tiles+=("$dir/final.png"); fi
  done
  montage "${tiles[@]}" -tile 3x2 -geometry 256x192+2+2 -background '#202020' "$(printf '%s/sheet-%02d.png' "$sheets" "$i")"
done
mkdir -p "$top/docs"
convert -delay 30 "$sheets"/sheet-*.png -loop 0 -layers Optimize "$top/docs/wipes.gif"
rm -rf "$sheets"

echo
if [ -z "$only" ]; then
  echo "frames:  $frames ($(ls "$frames" | wc -l) PNG files, 1024x768)"
  echo "preview: $out/relief/preview.gif"
  echo "trace:   $out/relief/trace.txt"
  [ -d "$out/ondrels/screenshots" ] && echo "ondrels.scr under Wine: $out/ondrels/screenshots ($(ls "$out/ondrels/screenshots" | wc -l) screenshots)"
fi
for entry in "${wipes[@]}"; do
  dir=$out/wipes/${entry#*:}
  echo "wipe ${entry%%:*}: $dir/wipe.gif ($(cat "$dir/trace.txt"))"
done
echo "wipes picture: $top/docs/wipes.gif"
