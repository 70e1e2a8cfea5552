#!/usr/bin/env bash
# Runs the several-monitor tests (monitor_tests.exe, then
# monitor_window_tests.exe) of a Windows build once
# for each monitor layout of the table below, each on its own virtual display
# as large as the layout's bounding box, with Wine told the layout through a
# stand-in Xinerama library (stand_in_xinerama.c) and its XRandR use off.
# Every Wine process of a layout's run, the Wine server and the prefix's
# services included, starts with that environment; the layouts share one
# prefix of their own in BUILD/monitors, one Wine session after another.
#
#   monitor_layouts.sh BUILD win64|win32 [LAYOUT...]
set -u
build=$(cd "${1:?build directory}" && pwd)
arch=${2:?win64 or win32}
shift 2
top=$(cd "$(dirname "$0")/../.." && pwd)
. "$top/scripts/wine-env.sh"
select_wine "$arch" || exit 1

# name and heads, "WxH+X+Y" in X screen coordinates, the primary first: Wine
# puts the primary at 0,0 of the virtual screen, so heads left of or above it
# get negative coordinates there.
layouts=(
  "two-side-by-side 1024x768+0+0,800x600+1024+0"
  "three-one-left 1024x768+800+0,800x600+0+84,640x480+1824+0"
  "two-above-with-a-gap 800x600+0+540,640x480+900+0"
  "four-of-three-sizes 640x480+640+480,640x480+0+480,512x384+640+0,320x240+0+96"
)
[ $# -gt 0 ] && { wanted=" $* "; kept=(); for l in "${layouts[@]}"; do [[ $wanted == *" ${l%% *} "* ]] && kept+=("$l"); done; layouts=("${kept[@]}"); }

state=$build/monitors
mkdir -p "$state/lib"
export WINEPREFIX=$state/prefix

# The stand-in library, of the Wine loader's own architecture. Built without
# the C library's headers and start files (see the source).
source=$top/tests/monitors/stand_in_xinerama.c
if [ "$arch" = win32 ]; then
  gcc -m32 -O2 -fPIC -fno-stack-protector -c "$source" -o "$state/lib/stand_in_xinerama.o" &&
    ld -m elf_i386 -shared -soname libXinerama.so.1 "$state/lib/stand_in_xinerama.o" -o "$state/lib/libXinerama.so.1" || exit 1
else
  gcc -O2 -fPIC -fno-stack-protector -shared -nostdlib -Wl,-soname,libXinerama.so.1 "$source" -o "$state/lib/libXinerama.so.1" || exit 1
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  make_wine_prefix || { echo "monitor_layouts: no Wine prefix" >&2; exit 1; }
  DISPLAY= "$wine_cmd" reg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /d N /f >/dev/null 2>&1
  wineserver -w
fi

status=0
for layout in "${layouts[@]}"; do
  name=${layout%% *}
  heads=${layout#* }
  width=0 height=0
  IFS=, read -r -a list <<<"$heads"
  for head in "${list[@]}"; do
    [[ $head =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || { echo "monitor_layouts: bad head $head" >&2; exit 2; }
    right=$((BASH_REMATCH[1] + BASH_REMATCH[3])) bottom=$((BASH_REMATCH[2] + BASH_REMATCH[4]))
    [ $right -gt $width ] && width=$right
    [ $bottom -gt $height ] && height=$bottom
  done
  display=
  for n in $(seq 200 260); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    display=:$n
    break
  done
  Xvfb "$display" -screen 0 "${width}x${height}x24" -nolisten tcp >"$state/xvfb-$name.log" 2>&1 &
  xvfb=$!
  for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
  echo "monitor_layouts: $name ($heads) on a ${width}x${height} display"
  (
    export DISPLAY=$display SAVER_MONITORS=$heads
    export LD_LIBRARY_PATH=$state/lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}
    "$wine_cmd" "$build/bin/wine_idle.exe" >/dev/null 2>&1 </dev/null &
    idle=$!
    # The server and services come up first, with nobody's output (see
    # cmake/wine-harness.sh).
    "$wine_cmd" cmd.exe /c exit >/dev/null 2>&1 </dev/null
    "$wine_cmd" "$build/bin/monitor_tests.exe" --gtest_brief=1 </dev/null
    code=$?
    "$wine_cmd" "$build/bin/monitor_window_tests.exe" --gtest_brief=1 </dev/null || code=1
    kill "$idle" 2>/dev/null
    wineserver -k 2>/dev/null
    wait "$idle" 2>/dev/null
    exit $code
  ) || status=1
  kill "$xvfb" 2>/dev/null
  wait "$xvfb" 2>/dev/null
done
exit $status
