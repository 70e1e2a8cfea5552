#!/usr/bin/env bash
# Runs the 64-bit Windows test programs under Wine on a virtual X display.
#   wine-harness.sh setup    BUILD   throwaway prefix in BUILD/wine, Xvfb, idle Wine process
#   wine-harness.sh run      BUILD PROGRAM [ARGS...]   one program, its exit code passed back
#   wine-harness.sh teardown BUILD   ends what setup started
# The prefix is made once, before any test starts, so tests never race to make it.
set -u
cmd=${1:?command}
build=$(cd "${2:?build directory}" && pwd)
shift 2
state=$build/wine
export WINEPREFIX=$state/prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
wine_cmd=$(command -v wine64 || command -v wine)

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
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        rm -rf "$WINEPREFIX"
        DISPLAY= "$wine_cmd" wineboot -i >"$state/wineboot.log" 2>&1 || { cat "$state/wineboot.log" >&2; exit 1; }
        # Without a window manager, unmanaged windows let processes exit at once.
        DISPLAY= "$wine_cmd" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$state/wineboot.log" 2>&1
        wineserver -w
    fi
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
