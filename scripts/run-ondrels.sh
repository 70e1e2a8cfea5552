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

export WINEPREFIX=$out/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine_cmd=$(command -v wine)
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "ondrels: making a Wine prefix (once)..."
  DISPLAY= "$wine_cmd" wineboot -i >/dev/null 2>&1
  DISPLAY= "$wine_cmd" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wineserver -w
fi

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "ondrels: running full screen on $DISPLAY; press a key or move the mouse to end it"
  set +e
  "$wine_cmd" "$install/ondrels.scr" /s
  echo "ondrels: ended with exit code $?"
  exit 0
fi

shots=$out/screenshots
rm -rf "$shots"
mkdir -p "$shots"
display=""
for n in $(seq 150 199); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
  display=":$n"
  break
done
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
cleanup() {
  wineserver -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=$display
for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done

# Something on the desktop for the saver to turn into relief.
cp "$top/README.md" "$install/README.txt"
"$wine_cmd" notepad "$install/README.txt" >/dev/null 2>&1 &
sleep 4
import -window root "$shots/0-desktop.png"

echo "ondrels: running full screen on a virtual display ($display)"
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
