#!/usr/bin/env bash
# How much of one core the relief saver takes running full screen under Wine
# at Delay=10 (the fastest its settings allow), beside the one-copy program
# (bench/win32/one_copy_ticks.cpp), which on every tick of the same timer does
# nothing but put one block of the lens square's size (S x S, 24-bit) on its
# window with a single SetDIBitsToDevice: the floor of a frame.
#
# Each program runs alone, full screen on a virtual display of the size, over
# a desktop of flat blocks with hard edges and noise (the picture relief_bench
# uses), and after a warm-up its process's processor time (user and system,
# from /proc) is read over a fixed wall time. Runs alternate, saver first.
#
#   cpu-share.sh [SECONDS [SIZE...]]     default 20 s, 1920x1080 3840x2160
#   RUNS=N cpu-share.sh ...              N runs of each program per size (1)
#
# Prints per size and run both shares and their ratio (the target: at most 1.3).
# On these 32-bit displays the saver puts 4-byte pixels, which the display
# takes without converting; the one-copy program is run a second time putting
# a 32-bit block, and the saver's ratio to that like-for-like floor is printed
# too.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-20}
[ $# -gt 0 ] && shift
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1920x1080 3840x2160)
runs=${RUNS:-1}
warm=4

"$top/scripts/build.sh" win64 >/dev/null
work=$top/build/win64/cpu-share
install=$work/install
mkdir -p "$install"
cp "$top/build/win64/bin/ondrels.scr" "$top/build/win64/bin/snap.exe" "$top/build/win64/bin/one_copy_ticks.exe" "$install/"
printf '[ScreenSaver.Ondrels]\r\nDelay=10\r\n' >"$install/ondrels.INI"

. "$top/scripts/wine-env.sh"
use_wine_prefix "$work" cpu-share win64

display_pid=""
program_pid=""
finish() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  [ -n "$display_pid" ] && kill "$display_pid" 2>/dev/null || true
}
trap finish EXIT

# start_display WIDTH HEIGHT: a virtual display of that size, the desktop
# picture on its root window; exports DISPLAY.
start_display() {
  local n
  for n in $(seq 200 250); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 "${1}x${2}x24" -nolisten tcp >/dev/null 2>&1 &
    display_pid=$!
    for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    export DISPLAY=":$n"
    break
  done
  python3 - "$1" "$2" "$work/desktop.ppm" <<'EOF'
import sys
w, h, path = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
out = bytearray(w * h * 3)
seed, i = 1, 0
for y in range(h):
    for x in range(w):
        seed = (seed * 1664525 + 1013904223) & 0xFFFFFFFF
        v = (200 if (x // 64 + y // 48) % 2 else 40) + (seed >> 29)
        out[i] = out[i + 1] = out[i + 2] = v
        i += 3
open(path, "wb").write(b"P6\n%d %d\n255\n" % (w, h) + bytes(out))
EOF
  display -window root "$work/desktop.ppm" >/dev/null 2>&1 || true
  # Wine's server and services up before anything is timed.
  "$wine_cmd" cmd.exe /c exit >/dev/null 2>&1 </dev/null
}

stop_display() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  kill "$display_pid" 2>/dev/null || true
  wait "$display_pid" 2>/dev/null || true
  display_pid=""
}

# cpu_share PROGRAM ARGS...: the program's share of one core over $seconds.
cpu_share() {
  "$wine_cmd" "$@" >/dev/null 2>&1 </dev/null &
  program_pid=$!
  sleep "$warm"
  local before after
  before=$(awk '{print $14 + $15}' "/proc/$program_pid/stat")
  sleep "$seconds"
  after=$(awk '{print $14 + $15}' "/proc/$program_pid/stat")
  kill "$program_pid" 2>/dev/null || true
  wait "$program_pid" 2>/dev/null || true
  program_pid=""
  python3 -c "print(f'{($after - $before) / $(getconf CLK_TCK) / $seconds:.3f}')"
}

echo "cpu-share: Delay 10 ms, $seconds s after a $warm s warm-up, share of one core"
for size in "${sizes[@]}"; do
  width=${size%x*} height=${size#*x}
  start_display "$width" "$height"
  for run in $(seq 1 "$runs"); do
    saver=$(cpu_share "$install/ondrels.scr" /s)
    floor=$(cpu_share "$install/one_copy_ticks.exe" 10 $((warm + seconds + 10)) 24)
    floor32=$(cpu_share "$install/one_copy_ticks.exe" 10 $((warm + seconds + 10)) 32)
    python3 -c "print(f'$size run $run: ondrels.scr {100 * $saver:.1f}%, one-copy program {100 * $floor:.1f}% (24-bit), ratio {$saver / $floor:.2f}; {100 * $floor32:.1f}% (32-bit), ratio {$saver / $floor32:.2f}')"
  done
  stop_display
done
