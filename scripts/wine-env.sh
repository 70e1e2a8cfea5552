# Sourced by the Wine test harness and the run scripts: which Wine runs a
# build's programs, a Wine prefix of their own, and on a headless machine a
# virtual display that goes away with the script.

# select_wine win64|win32: exports WINEARCH and what the chosen Wine needs and
# sets wine_cmd. The 64-bit programs run on the system's Wine; the 32-bit ones
# on the 32-bit Wine that scripts/setup-wine32.sh unpacks, served by the
# system's Wine server. Returns 1 with a message when 32-bit Wine is missing.
select_wine() {
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  case "$1" in
  win64)
    export WINEARCH=win64
    # The 64-bit loader itself: were 32-bit Wine installed system-wide, the
    # `wine` command would start even 64-bit programs through the 32-bit one.
    if [ -x /usr/lib/wine/wine64 ]; then
      wine_cmd=/usr/lib/wine/wine64
      export WINELOADER=$wine_cmd
    else
      wine_cmd=$(command -v wine64 || command -v wine)
    fi
    ;;
  win32)
    local root=${SAVER_WINE32_ROOT:-/opt/saver-wine32}
    if [ ! -f "$root/.ready" ]; then
      echo "wine: no 32-bit Wine in $root (scripts/setup-wine32.sh sets it up)" >&2
      return 1
    fi
    export WINEARCH=win32
    wine_cmd=$root/usr/lib/wine/wine
    export WINELOADER=$wine_cmd
    export WINESERVER=/usr/lib/wine/wineserver64
    [ -x "$WINESERVER" ] || WINESERVER=$(command -v wineserver)
    export LD_LIBRARY_PATH=$root/lib/i386-linux-gnu:$root/usr/lib/i386-linux-gnu${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}
    ;;
  *)
    echo "wine: unknown architecture $1" >&2
    return 1
    ;;
  esac
}

# make_wine_prefix: makes $WINEPREFIX for the selected Wine if it is not there.
make_wine_prefix() {
  [ -f "$WINEPREFIX/system.reg" ] && return 0
  rm -rf "$WINEPREFIX"
  DISPLAY= "$wine_cmd" wineboot -i >/dev/null 2>&1 || return 1
  # Without a window manager, unmanaged windows let processes exit at once.
  DISPLAY= "$wine_cmd" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wineserver -w
}

# use_wine_prefix DIR NAME [ARCH]: the prefix DIR/wine-prefix (DIR/wine-prefix32
# for win32), made once; sets wine_cmd.
use_wine_prefix() {
  local arch=${3:-win64}
  select_wine "$arch" || exit 1
  export WINEPREFIX=$1/wine-prefix
  [ "$arch" = win32 ] && WINEPREFIX=$1/wine-prefix32
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "$2: making a Wine prefix (once)..."
    make_wine_prefix
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
