#!/usr/bin/env bash
# Shows that the effect logic computed on the x87 stack held to double
# precision draws exactly what SSE arithmetic draws, which is what lets the
# 32-bit Windows programs do without SSE.
#
# Builds the effect logic, its tests and saver-render natively in
# build/native-x87 with x87 arithmetic (-mfpmath=387), every value stored
# and held at its own type (-ffloat-store; GCC 12 has no standard excess
# precision for C++), no vectorizing (the vectorizer would use SSE registers
# on x86-64, which the 32-bit build does not have), and the precision control
# set to 53 bits before main (tests/x87/x87_double_precision.c), as the
# 32-bit programs set it at start-up. Then:
#   1. a probe shows the configuration computes on the x87 stack at 53 bits;
#   2. no SSE arithmetic is left in the effect logic and the renderer;
#   3. the effect tests pass, the golden values among them;
#   4. saver-render of this build and of the SSE build (build/native) write
#      the same files byte for byte, and the same traces: relief frames,
#      terrain scenes and every wipe, over a range of sizes and seeds.
#
#   x87-compare.sh [quick|wide]     quick (the default) is the test script's
#                                   set; wide renders many more cases.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
scope=${1:-quick}
case "$scope" in quick|wide) ;; *) echo "x87-compare: quick or wide" >&2; exit 2 ;; esac
jobs=${JOBS:-2}
x87_flags="-mfpmath=387 -ffloat-store -fno-tree-vectorize -fno-tree-slp-vectorize"
build=$top/build/native-x87
sse=$top/build/native
work=$build/compare

"$top/scripts/build.sh" native >/dev/null
mkdir -p "$build"
gcc -O2 -c "$top/tests/x87/x87_double_precision.c" -o "$build/x87_double_precision.o"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_C_FLAGS="$x87_flags" -DCMAKE_CXX_FLAGS="$x87_flags" \
  -DCMAKE_EXE_LINKER_FLAGS="$build/x87_double_precision.o" >/dev/null
cmake --build "$build" -j"$jobs" --target effect_tests saver-render >/dev/null

status=0
fail() { echo "x87-compare: $*"; status=1; }

# 1. 1 + (2^-53 + 2^-64) rounds up to 1 + 2^-52 in one rounding to double;
# rounded first to the x87's 64-bit significand it ties, and then ties down
# to 1. The probe must show the double rounding without the precision setting
# (x87 arithmetic in use) and the single rounding with it (53 bits in force).
cat >"$build/probe.cpp" <<'EOF'
#include <cstdio>
volatile double one = 1.0, small = 0x1p-53 + 0x1p-64;
int main() { const double sum = one + small; std::printf("%a\n", sum); }
EOF
g++ -O2 $x87_flags "$build/probe.cpp" -o "$build/probe-extended"
g++ -O2 $x87_flags "$build/probe.cpp" "$build/x87_double_precision.o" -o "$build/probe-double"
[ "$("$build/probe-extended")" = "0x1p+0" ] || fail "the probe does not compute on the x87 stack"
[ "$("$build/probe-double")" = "0x1.0000000000001p+0" ] || fail "the precision control is not at 53 bits"

# 2. Truncating conversions read from memory (cvttsd2si, cvttss2si) are
# exact either way; any other SSE arithmetic would mean part of the logic
# was not tried on the x87.
sse_ops=$(find "$build/CMakeFiles/saver_effects.dir" "$build/CMakeFiles/saver_headless.dir" "$build/tools" -name '*.o' -print0 |
  xargs -0 objdump -d --no-show-raw-insn |
  grep -E '\b((add|sub|mul|div|sqrt|min|max|cmp|ucomi|comi)[sp][sd]|cvt[a-z0-9]*)\b' |
  grep -cvE '\bcvtts[sd]2si\b' || true)
[ "$sse_ops" -eq 0 ] || fail "$sse_ops SSE arithmetic instructions in the x87 build"

# 3. The effect tests, golden values among them.
"$build/bin/effect_tests" --gtest_brief=1 >"$build/effect_tests.log" 2>&1 || {
  cat "$build/effect_tests.log"; fail "effect tests fail in the x87 build"; }

# 4. Renders. Each case runs both renderers with the same arguments; every
# file written and the trace must be the same byte for byte.
rm -rf "$work"
mkdir -p "$work"
# A desktop of noise (the snapshot layout), so heights and wipes run over
# every value, besides the built-in desktop.
python3 - "$work/noise.raw" <<'EOF'
import random, sys
r = random.Random(20261207)
open(sys.argv[1], "wb").write(bytes(r.getrandbits(8) for _ in range(1920 * 1080 * 3)))
EOF
cases=0 files=0 frames=0 differ=0
render() {
  local name=$1; shift
  cases=$((cases + 1))
  "$sse/bin/saver-render" "$@" --out "$work/sse/$name" >"$work/sse-$name.trace" 2>/dev/null &
  local first=$!
  "$build/bin/saver-render" "$@" --out "$work/x87/$name" >"$work/x87-$name.trace" 2>/dev/null &
  local second=$! a=0 b=0
  wait $first || a=$?
  wait $second || b=$?
  if [ "$a" -ne 0 ] || [ "$b" -ne 0 ]; then fail "$name: saver-render failed ($a, $b)"; return; fi
  if ! cmp -s "$work/sse-$name.trace" "$work/x87-$name.trace"; then
    fail "$name: the traces differ"; differ=$((differ + 1))
  fi
  if ! diff -rq "$work/sse/$name" "$work/x87/$name" >/dev/null 2>&1; then
    fail "$name: $(diff -rq "$work/sse/$name" "$work/x87/$name" | wc -l) files differ"; differ=$((differ + 1))
  fi
  local n
  n=$(find "$work/sse/$name" -type f 2>/dev/null | wc -l)
  files=$((files + n))
  case $name in wipe-*) ;; *) frames=$((frames + n)) ;; esac
  rm -rf "$work/sse/$name" "$work/x87/$name" "$work/sse-$name.trace" "$work/x87-$name.trace"
}

if [ "$scope" = quick ]; then
  relief_sizes="9x11 40x300 152x112 151x113 640x480 1024x768"
  relief_seeds="1 123456"
  terrain_sizes="13x9 152x112 640x480"
  terrain_seeds="10 12 16 19"
  wipe_sizes="1x1 13x13 152x112 333x251 640x480"
  wipe_seeds="7"
else
  relief_sizes="1x1 2x2 9x11 40x300 152x112 151x113 200x150 320x200 333x251 640x480 800x600 1024x768 1280x1024 1920x1080"
  relief_seeds="1 99 123456 3735928559"
  terrain_sizes="1x1 13x9 100x100 152x112 320x240 333x251 640x480 1024x768 1920x1080"
  terrain_seeds="1 10 12 16 19 77 4000000000"
  wipe_sizes="1x1 2x3 7x5 13x13 31x17 100x100 152x112 200x150 320x200 333x251 640x480 800x600 1024x768"
  wipe_seeds="1 7 20261207"
fi

for size in $relief_sizes; do
  w=${size%x*} h=${size#*x}
  every=1; [ $((w * h)) -gt 20000 ] && every=20
  for seed in $relief_seeds; do
    render "relief-$size-$seed" relief --size "$size" --seed "$seed" --frames 60 --every $every --trace
    render "relief-$size-$seed-noise" relief --size "$size" --seed "$seed" --frames 60 --every $every --trace \
      --desktop "$work/noise.raw" --set Degrees=360 --set ColorCount=128 --set Soften=8 --set Invert=1
  done
done
# The settings one at a time on one size: path steps, ramp lengths, softening,
# inversion and a chosen base colour.
for setting in Degrees=180 Degrees=181 Degrees=1000 ColorCount=2 ColorCount=16 ColorCount=127 \
    Soften=0 Soften=2 Invert=1 "UseColor=1 RGB_Red=200 RGB_Green=40 RGB_Blue=7" "UseColor=1 RGB_Red=255 RGB_Green=255 RGB_Blue=255"; do
  sets=()
  for s in $setting; do sets+=(--set "$s"); done
  render "relief-settings-${setting// /-}" relief --size 320x200 --seed 5 --frames 80 --trace "${sets[@]}" \
    --desktop "$work/noise.raw"
done

for size in $terrain_sizes; do
  w=${size%x*} h=${size#*x}
  draw=(--trace-draw); [ $((w * h)) -gt 100000 ] && draw=()
  for seed in $terrain_seeds; do
    render "terrain-$size-$seed" terrain --size "$size" --seed "$seed" --ticks 130 --every 5 --set Speed=5 --trace "${draw[@]}"
    render "terrain-$size-$seed-smooth" terrain --size "$size" --seed "$seed" --ticks 60 --every 10 --set Speed=5 \
      --set Mode=1 --set Erase=0 --trace "${draw[@]}"
  done
done

for size in $wipe_sizes; do
  w=${size%x*} h=${size#*x}
  draw=(--trace-draw); [ $((w * h)) -gt 100000 ] && draw=()
  for seed in $wipe_seeds; do
    for number in $(seq 0 14); do
      render "wipe-$size-$seed-$number" wipe --size "$size" --seed "$seed" --number "$number" \
        --desktop "$work/noise.raw" --trace "${draw[@]}"
    done
  done
done

echo "x87-compare: $cases cases, $files files compared ($frames relief and terrain frames), $differ differing"
if [ $status -eq 0 ]; then
  echo "x87-compare: the x87 build draws exactly what the SSE build draws"
fi
exit $status
