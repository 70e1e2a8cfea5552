#!/usr/bin/env bash
# Builds the fuzz targets (fuzz/: clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) in build/fuzz and runs them.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
#                              a campaign: every target (or those named) for
#                              SECONDS (default 60), two at a time, each on a
#                              copy of its seed corpus in build/fuzz/work/TARGET
#   scripts/fuzz.sh --ci       the short pass: every committed regression
#                              input once, then every target for a fixed
#                              number of runs from its seeds, with a fixed seed
#
# Prints per target the executions run and the findings (crash, leak,
# timeout and out-of-memory files, kept in build/fuzz/work/TARGET/findings),
# then a summary table. Exit code 1 when anything was found, 2 for a bad
# argument or a failed build. The committed corpora are never grown.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build/fuzz"
work="$build/work"
jobs=${JOBS:-2}

usage() { echo "usage: scripts/fuzz.sh [SECONDS] [TARGET...] | --ci" >&2; exit 2; }
mode=campaign
seconds=60
case "${1:-}" in
  --ci) mode=ci; shift; [ $# -eq 0 ] || usage ;;
  "") ;;
  *[!0-9]*|0) usage ;;
  *) seconds=$1; shift ;;
esac

# target  longest input  runs in the short pass
targets=(
  "saver_scan     512   1500000"
  "settings_ini   1024  25000"
  "png_decode     8192  15000"
  "bmp_decode     8192  30000"
  "desktop_file   8192  10000"
  "banner_rle8    4096  30000"
  "relief_life    4096  2500"
  "terrain_life   128   3000"
  "terrain_wipes  64    4000"
  "dialog_logic   512   100000"
)
if [ $# -gt 0 ]; then
  chosen=()
  for name in "$@"; do
    match=$(printf '%s\n' "${targets[@]}" | awk -v n="$name" '$1 == n')
    [ -n "$match" ] || { echo "fuzz: no target $name" >&2; usage; }
    chosen+=("$match")
  done
  targets=("${chosen[@]}")
fi

echo "=== building the fuzz targets in build/fuzz"
if ! CC=clang CXX=clang++ cmake -S "$top/fuzz" -B "$build" >/dev/null || ! cmake --build "$build" -j"$jobs" >"$build.log" 2>&1; then
  [ -f "$build.log" ] && tail -40 "$build.log"
  echo "fuzz: the build failed" >&2
  exit 2
fi
rm -f "$build.log"

status=0
mkdir -p "$work"
# No input may take more than 25 s, or ask for more than 512 MB at once: no
# window of the targets (400 x 400 at most) needs a tenth of that.
limits=(-timeout=25 -rss_limit_mb=2048 -malloc_limit_mb=512)

# Every committed regression input runs once; each must pass now.
if [ "$mode" = ci ]; then
  echo "=== regression inputs"
  for entry in "${targets[@]}"; do
    read -r name _ _ <<<"$entry"
    dir="$top/fuzz/regressions/$name"
    [ -d "$dir" ] || continue
    inputs=("$dir"/*)
    [ -e "${inputs[0]}" ] || continue
    if "$build/bin/$name" "${limits[@]}" "${inputs[@]}" >"$work/$name-regressions.log" 2>&1; then
      echo "$name: ${#inputs[@]} regression inputs pass"
      rm -f "$work/$name-regressions.log"
    else
      echo "$name: a regression input FAILS (see $work/$name-regressions.log)"
      status=1
    fi
  done
fi

# Runs one target; writes its line of the summary to its result file.
run_target() {
  local name=$1 max_len=$2 runs=$3
  local dir="$work/$name"
  rm -rf "$dir"
  mkdir -p "$dir/corpus" "$dir/findings"
  cp "$top/fuzz/corpus/$name"/* "$dir/corpus/"
  local options=(-max_len="$max_len" "${limits[@]}" -print_final_stats=1 -artifact_prefix="$dir/findings/")
  [ -f "$top/fuzz/dict/$name.dict" ] && options+=(-dict="$top/fuzz/dict/$name.dict")
  if [ "$mode" = ci ]; then
    options+=(-runs="$runs" -seed=1)
  else
    options+=(-max_total_time="$seconds")
  fi
  local start end rc=0
  start=$(date +%s)
  "$build/bin/$name" "${options[@]}" "$dir/corpus" >"$dir/log" 2>&1 || rc=$?
  end=$(date +%s)
  local executions rate
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$dir/log" | tail -1)
  local found
  found=$(cd "$dir/findings" && ls -1 2>/dev/null | grep -E '^(crash|leak|timeout|oom)-' || true)
  local count=0
  [ -n "$found" ] && count=$(printf '%s\n' "$found" | wc -l)
  # A target that stops with an error but leaves no file has found something too.
  if [ "$rc" -ne 0 ] && [ "$count" -eq 0 ]; then count=1; found="(exit code $rc, see $dir/log)"; fi
  echo "$name ${executions:-0} ${rate:-0} $((end - start)) $count" >"$dir/result"
  {
    echo "--- $name: ${executions:-0} executions in $((end - start)) s (${rate:-0}/s), findings: $count"
    [ -n "$found" ] && printf '%s\n' "$found" | sed "s|^|    $dir/findings/|"
    # Inputs slower than 10 s are kept too; they are worth a look but are
    # not counted.
    ls -1 "$dir/findings" 2>/dev/null | grep '^slow-unit-' | sed "s|^|    slow, not counted: $dir/findings/|" || true
    true
  }
}

echo "=== $([ "$mode" = ci ] && echo "short pass" || echo "campaign of $seconds s a target"), $jobs at a time"
for entry in "${targets[@]}"; do
  read -r name max_len runs <<<"$entry"
  run_target "$name" "$max_len" "$runs" &
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
done
wait

echo
printf '%-14s %14s %10s %8s %9s\n' target executions exec/s seconds findings
for entry in "${targets[@]}"; do
  read -r name _ _ <<<"$entry"
  read -r _ executions rate took count <"$work/$name/result"
  printf '%-14s %14s %10s %8s %9s\n' "$name" "$executions" "$rate" "$took" "$count"
  [ "$count" -eq 0 ] || status=1
done
echo
if [ $status -eq 0 ]; then echo "fuzz: nothing found"; else echo "fuzz: findings above"; fi
exit $status
