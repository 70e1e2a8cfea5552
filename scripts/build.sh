#!/usr/bin/env bash
# Configures and builds one configuration: native, native-asan, win64 or win32.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
config=${1:?native, native-asan, win64 or win32}
jobs=${JOBS:-2}
case "$config" in
  native)      args=(-DCMAKE_BUILD_TYPE=Release) ;;
  native-asan) args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DSAVER_SANITIZE=ON) ;;
  win64)       args=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake") ;;
  win32)       args=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-i686.cmake") ;;
  *) echo "build: unknown configuration $config" >&2; exit 2 ;;
esac
cmake -S "$top" -B "$top/build/$config" "${args[@]}" >/dev/null
cmake --build "$top/build/$config" -j"$jobs"
