# Sourced by the run-*.sh scripts: a Wine prefix of their own, made once, and
# on a headless machine a virtual display that goes away with the script.

# use_wine_prefix DIR NAME: the prefix DIR/wine-prefix; sets wine_cmd.
use_wine_prefix() {
  export WINEPREFIX=$1/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  wine_cmd=$(command -v wine)
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "$2: making a Wine prefix (once)..."
    DISPLAY= "$wine_cmd" wineboot -i >/dev/null 2>&1
    # Without a window manager, unmanaged windows let processes exit at once.
    DISPLAY= "$wine_cmd" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    wineserver -w
  fi
}

# True when the script runs on a display it can reach.
have_display() { [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; }

# Starts Xvfb (1024x768x24) on a free display and exports DISPLAY; Wine and
# the display are ended when the script exits.
start_virtual_display() {
  local n display=""
  for n in $(seq 150 199); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    display=":$n"
    break
  done
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  virtual_display_pid=$!
  trap 'wineserver -k 2>/dev/null || true; kill "$virtual_display_pid" 2>/dev/null || true' EXIT
  export DISPLAY=$display
  for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
}
