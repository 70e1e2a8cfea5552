#!/usr/bin/env bash
# Configures and builds one configuration:
#   native, native-asan   the effect logic, its tests and the tools
#   win64, win32          a Windows build: the programs and every Windows test
#   win64-programs, win32-programs
#                         only ondrels.scr, kesmar.scr and snap.exe (releases)
# A build folder made with other toolchain files than the checkout's (an older
# checkout's, say) is made afresh, so no compiler choice of theirs survives.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
config=${1:?native, native-asan, win64, win32, win64-programs or win32-programs}
jobs=${JOBS:-2}
build=$top/build/$config
toolchains=()
case "$config" in
  native)      args=(-DCMAKE_BUILD_TYPE=Release) ;;
  native-asan) args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DSAVER_SANITIZE=ON) ;;
  win64|win32)
    arch=$([ "$config" = win64 ] && echo x86_64 || echo i686)
    toolchains=("$top/cmake/mingw-w64-$arch.cmake" "$top/cmake/mingw-w64-$arch-programs.cmake" "$top/cmake/mingw-w64-common.cmake")
    args=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-$arch.cmake") ;;
  win64-programs|win32-programs)
    arch=$([ "$config" = win64-programs ] && echo x86_64 || echo i686)
    toolchains=("$top/cmake/mingw-w64-$arch.cmake" "$top/cmake/mingw-w64-$arch-programs.cmake" "$top/cmake/mingw-w64-common.cmake")
    args=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-$arch-programs.cmake"
          -DSAVER_PROGRAMS_ONLY=ON -DSAVER_PROGRAMS_OUTPUT_DIR="$build/bin") ;;
  *) echo "build: unknown configuration $config" >&2; exit 2 ;;
esac

if [ ${#toolchains[@]} -gt 0 ]; then
  stamp=$(cat "${toolchains[@]}" | sha256sum | cut -d' ' -f1)
  if [ -f "$build/CMakeCache.txt" ] && [ "$(cat "$build/.toolchain-stamp" 2>/dev/null)" != "$stamp" ]; then
    echo "build: $config was configured with other toolchain files; making it afresh"
    [ -x "$top/cmake/wine-harness.sh" ] && [ -d "$build/wine" ] && "$top/cmake/wine-harness.sh" teardown "$build" >/dev/null 2>&1
    rm -rf "$build"
  fi
  mkdir -p "$build"
  echo "$stamp" >"$build/.toolchain-stamp"
fi
cmake -S "$top" -B "$build" "${args[@]}" >/dev/null
cmake --build "$build" -j"$jobs"
