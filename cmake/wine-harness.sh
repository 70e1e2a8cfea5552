#!/usr/bin/env bash
# Runs a Windows build's test programs under Wine on a virtual X display.
#   wine-harness.sh setup    BUILD [win64|win32]   throwaway prefix in BUILD/wine, Xvfb, idle Wine process
#   wine-harness.sh run      BUILD PROGRAM [ARGS...]   one program, its exit code passed back
#   wine-harness.sh teardown BUILD   ends what setup started
# The prefix is made once, before any test starts, so tests never race to make
# it. The 64-bit build runs on the system's Wine, the 32-bit build on the
# 32-bit Wine of scripts/setup-wine32.sh, in a 32-bit prefix (see
# scripts/wine-env.sh); setup records which for the other commands.
set -u
cmd=${1:?command}
build=$(cd "${2:?build directory}" && pwd)
shift 2
state=$build/wine
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/wine-env.sh"
arch=win64
[ "$cmd" = setup ] && [ $# -gt 0 ] && arch=$1
[ "$cmd" != setup ] && [ -f "$state/arch" ] && arch=$(cat "$state/arch")
select_wine "$arch" || exit 1
export WINEPREFIX=$state/prefix

start_display() {
    local n
    for n in $(seq 91 140); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$state/xvfb.log" 2>&1 &
        echo $! >"$state/xvfb.pid"
        for _ in $(seq 1 50); do
            [ -e "/tmp/.X11-unix/X$n" ] && { echo ":$n" >"$state/display"; return 0; }
            sleep 0.1
        done
        kill "$(cat "$state/xvfb.pid")" 2>/dev/null
    done
    echo "wine-harness: no virtual display could be started" >&2
    return 1
}

case "$cmd" in
setup)
    mkdir -p "$state"
    "$0" teardown "$build" >/dev/null 2>&1
    # A prefix of the other architecture cannot be used: start afresh.
    if [ "$(cat "$state/arch" 2>/dev/null || echo win64)" != "$arch" ]; then rm -rf "$WINEPREFIX"; fi
    echo "$arch" >"$state/arch"
    make_wine_prefix || { echo "wine-harness: the $arch Wine prefix could not be made" >&2; exit 1; }
    # The tests append what they saw drawn to the pixel ledger; a run starts
    # it empty (see tests/pixels).
    rm -f "$build/bin/pixel-ledger.txt"
    start_display || exit 1
    DISPLAY=$(cat "$state/display") "$wine_cmd" "$build/bin/wine_idle.exe" >/dev/null 2>&1 </dev/null &
    echo $! >"$state/idle.pid"
    # The first Wine process of a session starts the Wine server and Wine's
    # background services, and they inherit its output. Had a test's process
    # been first, they would hold CTest's pipe of that test open for as long
    # as the idle process lives, and CTest would wait for it forever. So the
    # set-up waits here, with no output of anyone's, until they are up.
    DISPLAY=$(cat "$state/display") "$wine_cmd" cmd.exe /c exit >/dev/null 2>&1 </dev/null
    echo "wine prefix $WINEPREFIX, display $(cat "$state/display")"
    ;;
run)
    [ -f "$state/display" ] || { echo "wine-harness: run 'setup' first" >&2; exit 1; }
    export DISPLAY=$(cat "$state/display")
    exec "$wine_cmd" "$@"
    ;;
teardown)
    [ -f "$state/idle.pid" ] && kill "$(cat "$state/idle.pid")" 2>/dev/null
    wineserver -k 2>/dev/null
    [ -f "$state/xvfb.pid" ] && kill "$(cat "$state/xvfb.pid")" 2>/dev/null
    rm -f "$state/idle.pid" "$state/xvfb.pid" "$state/display"
    exit 0
    ;;
*)
    echo "wine-harness: unknown command $cmd" >&2
    exit 2
    ;;
esac
