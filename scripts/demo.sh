#!/usr/bin/env bash
# The main job: builds the relief saver's effect and renders it over the
# built-in desktop picture into PNG frames and an animated preview; then runs
# the real ondrels.scr under Wine: full screen until a key on a machine with a
# display, or on a virtual display with a few screenshots on a headless one
# (and kesmar.scr the same way, where scripts/run-kesmar.sh is there).
# Then it renders a few of the terrain saver's wipes over the same desktop,
# one animation each, and redraws docs/wipes.gif from them; last it renders
# the terrain saver's scenes, a preview of one being drawn and wiped into the
# next, and redraws docs/terrain-*.png and docs/terrain.gif from them.
#
# `demo.sh wipes` and `demo.sh terrain` do only that part.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
only=${1:-}
case "$only" in
  "" | wipes | terrain) ;;
  *) echo "demo: unknown part '$only' (only 'wipes' or 'terrain')" >&2; exit 2 ;;
esac
# True when the part named is to be done.
part() { [ -z "$only" ] || [ "$only" = "$1" ]; }
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
  if [ -f "$top/scripts/run-kesmar.sh" ]; then
    bash "$top/scripts/run-kesmar.sh" "$out/kesmar"
  fi
fi

if part wipes; then
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
fi

# The terrain saver at 512x384. Scenes: one picture in each of four colour
# schemes (scheme:seed below), each landscape complete after 25 ticks at
# Speed 5. Preview: at Speed 4 a scene takes 241 ticks to draw (10 quads a
# tick) and is wiped at tick 251 by the spiral (Erase 11), which draws no
# random numbers; `saver-render wipe` over the finished scene (frame 250)
# then gives the pictures at its pauses that the saver shows on the way to
# the next scene.
if part terrain; then
  terrain=$out/terrain
  rm -rf "$terrain"
  mkdir -p "$terrain"
  schemes=(0:12 2:10 6:16 10:19)
  echo "rendering the terrain saver at 512x384: ${#schemes[@]} scenes and a preview..."
  for entry in "${schemes[@]}"; do
    scheme=${entry%%:*} seed=${entry#*:}
    dir=$terrain/scheme-$scheme
    "$render" terrain --size 512x384 --seed "$seed" --ticks 25 --every 25 --set Speed=5 --set Color=$((scheme + 1)) \
      --out "$dir" --trace >"$dir.txt" 2>/dev/null
  done
  tframes=$terrain/frames
  "$render" terrain --size 512x384 --seed 12 --ticks 500 --every 5 --set Speed=4 --set Erase=11 \
    --out "$tframes" --trace >"$terrain/trace.txt" 2>/dev/null
  "$render" wipe --size 512x384 --seed 12 --number 9 --desktop "$tframes/frame-00250.png" --out "$terrain/wipe" >/dev/null 2>&1
  # The first scene drawn, held, wiped; the next one drawn and held.
  convert -delay 8 $(seq -f "$tframes/frame-%05g.png" 5 5 240) -delay 120 "$tframes/frame-00250.png" \
    -delay 25 "$terrain"/wipe/pause-*.png "$terrain/wipe/final.png" \
    -delay 8 $(seq -f "$tframes/frame-%05g.png" 255 5 495) -delay 200 "$tframes/frame-00500.png" \
    -loop 0 -layers Optimize "$terrain/preview.gif"
  mkdir -p "$top/docs"
  for entry in "${schemes[@]}"; do
    cp "$terrain/scheme-${entry%%:*}/frame-00025.png" "$top/docs/terrain-scheme-${entry%%:*}.png"
  done
  cp "$terrain/preview.gif" "$top/docs/terrain.gif"
fi

echo
if [ -z "$only" ]; then
  echo "frames:  $frames ($(ls "$frames" | wc -l) PNG files, 1024x768)"
  echo "preview: $out/relief/preview.gif"
  echo "trace:   $out/relief/trace.txt"
  [ -d "$out/ondrels/screenshots" ] && echo "ondrels.scr under Wine: $out/ondrels/screenshots ($(ls "$out/ondrels/screenshots" | wc -l) screenshots)"
  if [ -d "$out/kesmar/screenshots" ]; then
    echo "kesmar.scr under Wine: $out/kesmar/screenshots ($(ls "$out/kesmar/screenshots" | wc -l) screenshots)"
  fi
fi
if part wipes; then
  for entry in "${wipes[@]}"; do
    dir=$out/wipes/${entry#*:}
    echo "wipe ${entry%%:*}: $dir/wipe.gif ($(cat "$dir/trace.txt"))"
  done
  echo "wipes picture: $top/docs/wipes.gif"
fi
if part terrain; then
  echo "terrain frames:  $tframes ($(ls "$tframes" | wc -l) PNG files, 512x384; scenes and wipes in $terrain/trace.txt)"
  echo "terrain preview: $terrain/preview.gif"
  echo "terrain pictures: $top/docs/terrain.gif, $top/docs/terrain-scheme-*.png"
fi
