#!/usr/bin/env bash
# Runs the real ondrels.scr full screen under Wine, installed with its
# snapshot helper in OUT/install. With a reachable display it runs there until
# a key or a mouse move ends it; without one it runs on a virtual display with
# a notepad window on the desktop, saves a few screenshots in OUT/screenshots
# and ends the saver with a key press.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$top/out/ondrels}
"$top/scripts/build.sh" win64 >/dev/null

install=$out/install
mkdir -p "$install"
cp "$top/build/win64/bin/ondrels.scr" "$top/build/win64/bin/snap.exe" "$install/"
printf '[ScreenSaver.Ondrels]\r\nDegrees=360\r\nUseColor=1\r\nRGB_Red=156\r\nRGB_Green=164\r\nRGB_Blue=34\r\nColorCount=64\r\nDelay=40\r\nSoften=2\r\nInvert=0\r\n' >"$install/ondrels.INI"

. "$top/scripts/wine-env.sh"
use_wine_prefix "$out" ondrels

if have_display; then
  echo "ondrels: running full screen on $DISPLAY; press a key or move the mouse to end it"
  set +e
  "$wine_cmd" "$install/ondrels.scr" /s
  echo "ondrels: ended with exit code $?"
  exit 0
fi

shots=$out/screenshots
rm -rf "$shots"
mkdir -p "$shots"
start_virtual_display

# Something on the desktop for the saver to turn into relief.
cp "$top/README.md" "$install/README.txt"
"$wine_cmd" notepad "$install/README.txt" >/dev/null 2>&1 &
sleep 4
import -window root "$shots/0-desktop.png"

echo "ondrels: running full screen on a virtual display ($DISPLAY)"
"$wine_cmd" "$install/ondrels.scr" /s >/dev/null 2>&1 &
saver=$!
sleep 3
for i in 1 2 3 4 5; do
  import -window root "$shots/$i-ondrels.png"
  sleep 1
done
xdotool key space
set +e
wait "$saver"
echo "ondrels: a key press ended it with exit code $?"
