#!/usr/bin/env bash
# Runs the real kesmar.scr full screen under Wine, installed with its settings
# file in OUT/install. With a reachable display it runs there until a key or a
# mouse move ends it; without one it runs on a virtual display, saves a few
# screenshots in OUT/screenshots over about eight seconds and ends the saver
# with a key press.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$top/out/kesmar}
"$top/scripts/build.sh" win64 >/dev/null

install=$out/install
mkdir -p "$install"
cp "$top/build/win64/bin/kesmar.scr" "$install/"
# Speed 4: a scene of 250 ticks, 10 quads a tick; a wipe at random between scenes.
printf '[ScreenSaver.Kesmar]\r\nDepth=25\r\nSpeed=4\r\nMode=0\r\nLevel=0\r\nErase=1\r\nColor=0\r\nThreshold=0\r\n' >"$install/kesmar.INI"

. "$top/scripts/wine-env.sh"
use_wine_prefix "$out" kesmar

if have_display; then
  echo "kesmar: running full screen on $DISPLAY; press a key or move the mouse to end it"
  set +e
  "$wine_cmd" "$install/kesmar.scr" /s
  echo "kesmar: ended with exit code $?"
  exit 0
fi

shots=$out/screenshots
rm -rf "$shots"
mkdir -p "$shots"
start_virtual_display

echo "kesmar: running full screen on a virtual display ($DISPLAY)"
"$wine_cmd" "$install/kesmar.scr" /s >/dev/null 2>&1 &
saver=$!
sleep 1.5
for i in 1 2 3 4 5 6; do
  import -window root "$shots/$i-kesmar.png"
  sleep 1.3
done
xdotool key space
set +e
wait "$saver"
echo "kesmar: a key press ended it with exit code $?"
