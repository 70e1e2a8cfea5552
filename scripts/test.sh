#!/usr/bin/env bash
# Passes every test: native build and tests, the web page in a browser
# against the renderer, the same tests under the address
# and undefined-behaviour sanitizers, a short pass of every fuzz target, the
# x87 comparison, both Windows builds with the Windows tests of each under
# Wine on a virtual display (the leak checks among them; the 32-bit ones on
# 32-bit Wine), a one-minute soak of each saver of the 64-bit build, and the
# release archives and the installer (installed and removed in fresh 64-bit
# and 32-bit Wine prefixes).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"

status=0
step() { echo; echo "=== $*"; }

step "native build and tests"
"$top/scripts/build.sh" native
(cd "$top/build/native" && ctest -j2 --output-on-failure) || status=1

step "web page: both savers built with emscripten, in headless Chromium against the renderer's frames"
if "$top/scripts/web.sh" --build-only; then
  (cd "$top/tests/web" && timeout 900 node --test) || status=1
else
  status=1
fi

step "native tests under sanitizers"
"$top/scripts/build.sh" native-asan
(cd "$top/build/native-asan" && ctest -j2 --output-on-failure -E '^bench') || status=1

step "fuzz targets, short pass (regression inputs, then every target from its seeds)"
"$top/scripts/fuzz.sh" --ci || status=1

step "x87 arithmetic against SSE arithmetic (why the 32-bit build needs no SSE)"
"$top/scripts/x87-compare.sh" || status=1

step "32-bit Windows build and its tests under 32-bit Wine"
"$top/scripts/build.sh" win32
# The system finds a saver's callbacks by name: the 32-bit exports must carry
# no decoration.
for program in ondrels.scr kesmar.scr; do
  exports=$(i686-w64-mingw32-objdump -p "$top/build/win32/bin/$program" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p')
  for name in ScreenSaverProc ScreenSaverConfigureDialog; do
    if printf '%s\n' "$exports" | grep -q -E "\] $name\$"; then
      echo "32-bit $program exports $name"
    else
      echo "32-bit $program does not export $name"; status=1
    fi
  done
done
if [ -f "${SAVER_WINE32_ROOT:-/opt/saver-wine32}/.ready" ]; then
  (cd "$top/build/win32" && ctest -j1 --output-on-failure) || status=1
else
  # setup-wine32.sh said why (a kernel that runs no 32-bit programs); the
  # import check needs no Wine.
  echo "32-bit Windows tests skipped: no 32-bit Wine on this machine"
  (cd "$top/build/win32" && ctest --output-on-failure -R '^shipped_imports$') || status=1
fi

step "64-bit Windows build and its tests under Wine"
"$top/scripts/build.sh" win64
(cd "$top/build/win64" && ctest -j1 --output-on-failure) || status=1

step "both savers full screen under Wine for a minute each: objects, memory, answers, a key ends each"
SOAK_BUILD="$top/build/win64" "$top/scripts/soak.sh" 1 || status=1

step "release archives and the installer (its imports, signing, and install to removal in fresh 64-bit and 32-bit Wine prefixes)"
rm -f "$top"/dist/savers-*
if "$top/scripts/package.sh"; then
  python3 "$top/tests/release/check_release.py" "$top"/dist/savers-* || status=1
  python3 "$top/tests/installer/check_installer.py" || status=1
else
  status=1
fi

echo
if [ $status -eq 0 ]; then echo "all tests passed"; else echo "some tests FAILED"; fi
exit $status
