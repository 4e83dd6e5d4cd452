#!/bin/sh
# The Compare window of the 64-bit program under Wine on two generated captures of 1,048,575
# lines that differ in 1% of their files, against mirrorvault-cli diff (the Windows build,
# under the same Wine) on the same pair, in this script. The command line's time is its
# median run less the median run of `mirrorvault-cli --help` (Wine's start), since the
# window's time is measured inside its process.
# Usage: bench/compare/run.sh [PRESET] (default win64; MV_BENCH_RUNS=3 runs of each).
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
preset=${1:-win64}
runs=${MV_BENCH_RUNS:-3}
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target compare_bench mirrorvault-cli >/dev/null
bench="$root/build/$preset/bench/compare/compare_bench.exe"
cli="$root/build/$preset/cli/mirrorvault-cli.exe"
run="$root/tools/wine/run-exe.sh"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
old="$dir/BENCH.PC7.04.12.2026.09.04.05.mirvaul"
new="$dir/BENCH.PC7.05.12.2026.09.04.05.mirvaul"
awk -v lines=1048575 -v computer=PC7 -v seed=1 -v variant=0 -f "$root/bench/cli/make_snapshot.awk" >"$old"
awk -v lines=1048575 -v computer=PC7 -v seed=1 -v variant=1 -f "$root/bench/cli/make_snapshot.awk" >"$new"
win() { printf 'Z:%s' "$1" | tr / '\\'; }

median_ms() {
  : >"$dir/ms"
  r=0
  while [ "$r" -lt "$runs" ]; do
    start=$(date +%s%N)
    "$@" >"$dir/out" 2>/dev/null || true
    echo $((($(date +%s%N) - start) / 1000000)) >>"$dir/ms"
    r=$((r + 1))
  done
  sort -n "$dir/ms" | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

start_ms=$(median_ms "$run" "$cli" --help)
diff_ms=$(median_ms "$run" "$cli" diff "$(win "$old")" "$(win "$new")")
tail -n 1 "$dir/out"
echo "mirrorvault-cli diff: median $diff_ms ms, of which Wine's start (--help) $start_ms ms"
window=$("$run" "$bench" "$(win "$dir")" "$runs")
echo "$window"
echo "$window" | awk -v d="$diff_ms" -v s="$start_ms" '{
  for (i = 1; i <= NF; i++) if ($i == "ms,") ms = $(i - 1)
  printf "ratio window / (diff less start) = %.2f (limit 2)\n", ms / (d - s)
}'
