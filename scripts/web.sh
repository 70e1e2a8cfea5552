#!/usr/bin/env bash
# Builds the web page (both savers compiled with Debian's emscripten, the
# page's driver, its static files) into build/web, then serves build/web at
# http://127.0.0.1:${PORT:-8080}/ until stopped (Ctrl-C).
#   bash scripts/web.sh [--build-only]
# Nothing is fetched: no emscripten ports, no CDN. Run scripts/setup.sh first
# on a new machine (it installs emscripten and Node).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build_only=0
case "${1:-}" in
  "") ;;
  --build-only) build_only=1 ;;
  *) echo "usage: bash scripts/web.sh [--build-only]" >&2; exit 2 ;;
esac
port=${PORT:-8080}
jobs=${JOBS:-2}
build=$top/build/web-build
site=$top/build/web

for tool in emcmake em++ node; do
  command -v "$tool" >/dev/null || { echo "web: $tool is missing (bash scripts/setup.sh installs it)" >&2; exit 2; }
done
# Debian's emscripten runs its JavaScript optimizer with the machine's node,
# which needs Debian's acorn from /usr/share/nodejs: a node not built by
# Debian does not look there on its own.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

# Debian's emscripten ships its system libraries built, in a read-only cache
# it never adds to (FROZEN_CACHE): the build uses them as they are and pays
# nothing for them. Should the page ever need a library that cache lacks,
# the build is made again with a cache of our own that emscripten fills
# (about two minutes of compiling, once), kept outside build/ so a fresh
# checkout does not pay again.
own_cache=${SAVER_EM_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/saver-emscripten}
build_page() {
  emcmake cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DSAVER_WEB_OUTPUT_DIR="$site" >/dev/null
  cmake --build "$build" -j"$jobs"
}
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if [ -n "${EM_CACHE:-}" ]; then
  build_page
elif ! build_page >"$log" 2>&1; then
  if grep -q "FROZEN_CACHE is set, but cache file is missing" "$log"; then
    echo "web: the system's emscripten cache lacks a library; building with our own cache in $own_cache"
    mkdir -p "$own_cache"
    export EM_CACHE=$own_cache EM_FROZEN_CACHE=
    rm -rf "$build"
    build_page
  else
    cat "$log" >&2
    exit 1
  fi
else
  grep -v -e '^\[' -e '^configure: ' "$log" || true
fi

for file in index.html saver.js saver.wasm style.css icon.svg; do
  [ -s "$site/$file" ] || { echo "web: $site/$file was not made" >&2; exit 1; }
done
echo "web: built $site ($(stat -c %s "$site/saver.wasm") bytes of wasm, $(stat -c %s "$site/saver.js") of JavaScript)"
[ $build_only -eq 1 ] && exit 0

echo "web: the relief saver at http://127.0.0.1:$port/?saver=relief, the terrain saver at http://127.0.0.1:$port/?saver=terrain"
exec node "$top/web/serve.mjs" "$site" "$port"
