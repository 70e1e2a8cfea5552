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

export WINEPREFIX=$out/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine_cmd=$(command -v wine)
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "kesmar: making a Wine prefix (once)..."
  DISPLAY= "$wine_cmd" wineboot -i >/dev/null 2>&1
  DISPLAY= "$wine_cmd" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wineserver -w
fi

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "kesmar: running full screen on $DISPLAY; press a key or move the mouse to end it"
  set +e
  "$wine_cmd" "$install/kesmar.scr" /s
  echo "kesmar: ended with exit code $?"
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

echo "kesmar: running full screen on a virtual display ($display)"
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
