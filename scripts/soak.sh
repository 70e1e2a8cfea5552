#!/usr/bin/env bash
# Runs each real saver full screen under Wine for MINUTES (default 1) on a
# virtual display of its own: ondrels.scr with Delay=10 (its snapshot helper
# beside it), then kesmar.scr with Speed=5 and Erase=1, each a copy in
# OUT/NAME with its settings file beside it. saver_watch.exe, a Windows
# program of the build, watches each from outside: the saver process's GDI
# and USER objects and private bytes every 10 s against a start after a
# warm-up, an answer from its window every 2 s, and at the end a key press
# taken while the saver is idle (not inside a wipe), timing how long the
# window and the process take to end.
#
#   bash scripts/soak.sh [MINUTES]
#
# Fails (exit code 1) when a count or the private bytes grew beyond the
# tolerance, a saver stopped answering or ended by itself, ended with an exit
# code other than 0, or took more than 2 s after the key to end.
#
# SOAK_BUILD names another 64-bit build directory (already built; default
# build/win64, built here); SOAK_OUT the output directory (default out/soak),
# which keeps the Wine prefix between runs.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
minutes=${1:-1}
case "$minutes" in
  ''|*[!0-9.]*) echo "soak: MINUTES must be a number, not '$minutes'" >&2; exit 2 ;;
esac
build=${SOAK_BUILD:-}
if [ -z "$build" ]; then
  "$top/scripts/build.sh" win64 >/dev/null
  build=$top/build/win64
fi
build=$(cd "$build" && pwd)
out=${SOAK_OUT:-$top/out/soak}
mkdir -p "$out"
out=$(cd "$out" && pwd)
for file in ondrels.scr snap.exe kesmar.scr saver_watch.exe wine_idle.exe; do
  [ -f "$build/bin/$file" ] || { echo "soak: $build/bin/$file is missing" >&2; exit 2; }
done
seconds=$(awk -v m="$minutes" 'BEGIN { printf "%d", m * 60 }')
[ "$seconds" -ge 20 ] || { echo "soak: MINUTES must be at least 1/3" >&2; exit 2; }

# A key must end a saver within this time. Once the key is in the saver's
# queue, ending takes the rest of one timer tick (at most a few milliseconds),
# the window's destruction and the process's exit: about 0.1 s under Wine
# with unmanaged windows. Wine's managed windows alone add 2 s to the exit,
# and a key caught behind a wipe waits for the wipe (seconds at full screen),
# so 2 s keeps a tenfold margin for a loaded machine and still catches both.
key_limit_ms=2000

mkdir -p "$out/ondrels" "$out/kesmar"
cp "$build/bin/ondrels.scr" "$build/bin/snap.exe" "$out/ondrels/"
printf '[ScreenSaver.Ondrels]\r\nDelay=10\r\n' >"$out/ondrels/ondrels.INI"
cp "$build/bin/kesmar.scr" "$out/kesmar/"
printf '[ScreenSaver.Kesmar]\r\nSpeed=5\r\nErase=1\r\n' >"$out/kesmar/kesmar.INI"

. "$top/scripts/wine-env.sh"
use_wine_prefix "$out" soak
start_virtual_display
# One long-lived Wine process for the whole run, so Wine does not start
# shutting down between two programs; ended by its id with everything else.
"$wine_cmd" "$build/bin/wine_idle.exe" >/dev/null 2>&1 </dev/null &
idle=$!
# Wine's server and background services are started by the first Wine
# process and inherit its output; they must not hold the watcher's pipe open
# after it ends, so they are brought up here with no output of anyone's.
"$wine_cmd" cmd.exe /c exit >/dev/null 2>&1 </dev/null
saver=
trap 'for pid in $saver $idle; do kill "$pid" 2>/dev/null || true; done
      wineserver -k 2>/dev/null || true
      kill "$virtual_display_pid" 2>/dev/null || true' EXIT
sleep 1

status=0
# soak_one NAME: runs OUT/NAME/NAME.scr /s watched by saver_watch.
soak_one() {
  local name=$1 code watch
  echo "soak: $name full screen for $minutes minute(s) on $DISPLAY"
  "$wine_cmd" "$out/$name/$name.scr" /s >"$out/$name/saver.log" 2>&1 &
  saver=$!
  set +e
  "$wine_cmd" "$build/bin/saver_watch.exe" "$name" "$seconds" --key-limit "$key_limit_ms" | sed -u 's/\r$//'
  watch=${PIPESTATUS[0]}
  # The watch has waited for the process already; a saver still running
  # now hangs and is ended by its id.
  for _ in $(seq 1 50); do kill -0 "$saver" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$saver" 2>/dev/null; then
    echo "soak: $name FAILED: still running after the watch ended; ending it"
    kill "$saver" 2>/dev/null
  fi
  wait "$saver"
  code=$?
  set -e
  saver=
  echo "soak: $name exit code $code (watch $watch)"
  if [ "$watch" -ne 0 ] || [ "$code" -ne 0 ]; then status=1; fi
}

soak_one ondrels
soak_one kesmar

if [ $status -eq 0 ]; then echo "soak: passed"; else echo "soak: FAILED"; fi
exit $status
