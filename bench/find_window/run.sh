#!/bin/sh
# The Find in All Snapshots window of the 64-bit program under Wine over 100 generated
# snapshots of 100,000 entries each: time from Find to the first hit shown, and to the end,
# against `mirrorvault-cli find` (the Windows build, under the same Wine) over the same folder
# in the same run; then the window again once the capture indexes are built.
# Usage: bench/find_window/run.sh [PRESET] (default win64; MV_BENCH_RUNS=3).
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
preset=${1:-win64}
runs=${MV_BENCH_RUNS:-3}
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target find_window_bench mirrorvault-cli >/dev/null
bench="$root/build/$preset/bench/find_window/find_window_bench.exe"
cli="$root/build/$preset/cli/mirrorvault-cli.exe"
run="$root/tools/wine/run-exe.sh"
dir=$(mktemp -d ${MV_BENCH_DIR:+-p "$MV_BENCH_DIR"})
trap 'rm -rf "$dir"' EXIT
i=0
while [ "$i" -lt 100 ]; do
  pc=$((i % 25))
  awk -v lines=100000 -v computer="PC$pc" -v seed="$i" -v variant=0 \
    -f "$root/bench/cli/make_snapshot.awk" \
    >"$dir/BENCH.PC$pc.0$((1 + i / 25)).12.2026.09.04.05.mirvaul"
  i=$((i + 1))
done
echo "library: $(ls "$dir" | wc -l) snapshots, $(du -sm "$dir" | cut -f1) MB"
cat "$dir"/* >/dev/null
windows_dir="Z:$(printf '%s' "$dir" | tr / '\\')"
pattern=quokka
"$run" "$cli" find "$windows_dir" "$pattern" >"$dir.cli.out" 2>/dev/null || true  # warm-up
r=0
: >"$dir.cli.ms"
while [ "$r" -lt "$runs" ]; do
  start=$(date +%s%N)
  "$run" "$cli" find "$windows_dir" "$pattern" >"$dir.cli.out" 2>/dev/null || true
  echo $((($(date +%s%N) - start) / 1000000)) >>"$dir.cli.ms"
  r=$((r + 1))
done
echo "mirrorvault-cli find (process start included): $(tr '\n' ' ' <"$dir.cli.ms")ms," \
  "$(wc -l <"$dir.cli.out") hits"
"$run" "$bench" "$windows_dir" "$pattern" "$runs" | tee "$dir.window.out"
cli_ms=$(sort -n "$dir.cli.ms" | head -1)
window_ms=$(sed -n 's/.*done \([0-9.]*\) ms.*/\1/p' "$dir.window.out" | sort -n | head -1)
first_ms=$(sed -n 's/.*first hit shown \([0-9.]*\) ms.*/\1/p' "$dir.window.out" | sort -n | tail -1)
awk -v a="$cli_ms" -v b="$window_ms" -v f="$first_ms" \
  'BEGIN { printf "best: cli %s ms, window %s ms, ratio window / cli = %.2f; first hit at worst %s ms\n", a, b, b / a, f }'
# The same window once every computer's capture index is built (mirrorvault-cli index).
"$run" "$cli" index "$windows_dir" >/dev/null 2>&1
"$run" "$bench" "$windows_dir" "$pattern" "$runs" | tee "$dir.indexed.out"
indexed_ms=$(sed -n 's/.*done \([0-9.]*\) ms.*/\1/p' "$dir.indexed.out" | sort -n | head -1)
indexed_first=$(sed -n 's/.*first hit shown \([0-9.]*\) ms.*/\1/p' "$dir.indexed.out" | sort -n | tail -1)
awk -v a="$window_ms" -v b="$indexed_ms" -v f="$indexed_first" \
  'BEGIN { printf "with indexes: window %s ms (ratio indexed / read = %.3f); first hit at worst %s ms\n", b, b / a, f }'
rm -f "$dir.cli.ms" "$dir.cli.out" "$dir.window.out" "$dir.indexed.out"
