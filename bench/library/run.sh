#!/bin/sh
# Rebuild of the snapshot tree from 100,000 snapshot files (5,000 computers in 200 groups, a
# capture a day each), against `ls -f DIR | wc -l` over the same directory as the baseline.
# Usage: bench/library/run.sh [FILES] (default 100000).
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
files=${1:-100000}
repeats=${REPEATS:-5}

cmake --preset release >/dev/null
cmake --build --preset release --target library_bench >/dev/null
bench=$(find "$root/build/release" -name library_bench -type f | head -n 1)

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
# 200 groups x 25 computers, a snapshot a day each, until the count is reached.
awk -v n="$files" 'BEGIN {
  for (i = 0; i < n; i++) {
    g = i % 200; c = int(i / 200) % 25; d = int(i / 5000)
    printf "GROUP%d.PC%d-%d.%02d.%02d.2026.09.04.%02d.mirvaul\n", g, g, c, d % 28 + 1, int(d / 28) % 12 + 1, i % 60
  }
}' | (cd "$dir" && xargs touch)

# Baseline: best of $repeats runs of ls -f | wc -l, in milliseconds.
best=""
r=0
while [ "$r" -lt "$repeats" ]; do
  start=$(date +%s%N)
  count=$(ls -f "$dir" | wc -l)
  end=$(date +%s%N)
  t=$((end - start))
  if [ -z "$best" ] || [ "$t" -lt "$best" ]; then best=$t; fi
  r=$((r + 1))
done
ls_ms=$(awk "BEGIN { printf \"%.3f\", $best / 1e6 }")

out=$("$bench" "$dir" "$repeats")
echo "$out"
rebuild_ms=$(echo "$out" | sed -n 's/^rebuild_ms=\([0-9.]*\).*/\1/p')
echo "ls_f_wc_ms=$ls_ms (entries $count)"
awk "BEGIN { printf \"ratio rebuild / ls -f|wc -l = %.2f (target: at most 2.5)\n\", $rebuild_ms / $ls_ms }"
