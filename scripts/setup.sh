#!/usr/bin/env bash
# Installs what the build, the tests and the demo need on Debian 12, with
# apt-get, only where something is missing. Runs as root (or through sudo).
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  googletest libgtest-dev libbenchmark-dev libpng-dev
  g++-mingw-w64-x86-64 g++-mingw-w64-i686
  wine wine64 xvfb xauth x11-utils xdotool imagemagick python3
  # the 32-bit Wine lane (scripts/setup-wine32.sh)
  patchelf
  # the fuzz targets (scripts/fuzz.sh): clang and its fuzzer and sanitizer
  # runtimes, which clang only recommends
  clang libclang-rt-14-dev
  # the installer (scripts/package.sh) and its signing and signing test
  nsis osslsigncode openssl
)
# The web page and its browser tests (scripts/web.sh, tests/web): Debian's
# emscripten and Chromium, and Node with npm where the machine has no node
# (a node installed otherwise brings its own npm).
packages+=(emscripten chromium)
command -v node >/dev/null || packages+=(nodejs)
command -v npm >/dev/null || packages+=(npm)

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
  # wine32 is not installed system-wide on purpose: the wine command would
  # then start every program through the 32-bit loader, which cannot run the
  # 64-bit test prefixes. scripts/setup-wine32.sh unpacks it into a folder.
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# 32-bit Wine beside the system's Wine; on a kernel that cannot run 32-bit
# programs it says so in one line, and the 32-bit tests are left out.
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
set +e
"${sudo_cmd[@]}" "$(dirname "$0")/setup-wine32.sh"
wine32_status=$?
set -e
[ $wine32_status -eq 0 ] || [ $wine32_status -eq 3 ] || exit $wine32_status

# puppeteer-core for the browser tests, as package-lock.json pins it, into
# tests/web/node_modules; it drives the system's Chromium and downloads no
# browser. Installed again only when the lock file changes.
web_tests=$(cd "$(dirname "$0")/.." && pwd)/tests/web
if ! cmp -s "$web_tests/package-lock.json" "$web_tests/node_modules/.saver-lock"; then
  echo "setup: installing the browser tests' packages (npm ci in tests/web)"
  (cd "$web_tests" && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error >/dev/null)
  cp "$web_tests/package-lock.json" "$web_tests/node_modules/.saver-lock"
fi
