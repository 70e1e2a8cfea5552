#!/usr/bin/env bash
# Installs what the build, the tests and the demo need on Debian 12, with
# apt-get, only where something is missing. Runs as root (or through sudo).
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  googletest libgtest-dev libbenchmark-dev libpng-dev
  g++-mingw-w64-x86-64 g++-mingw-w64-i686
  wine wine64 xvfb xauth x11-utils xdotool imagemagick python3
  # the fuzz targets (scripts/fuzz.sh): clang and its fuzzer and sanitizer
  # runtimes, which clang only recommends
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  # wine32 is left out on purpose: without it the wine command runs the
  # 64-bit loader, which is all this kind of machine can run.
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
