#!/bin/sh
# Where the space went, timed against what it cannot do without, in the same run:
#  - every folder's totals (`du`) of a generated snapshot against its load alone (`info`);
#  - a computer's growth over its captures (`history`), the totals cache cold (removed) and
#    warm, against reading the same files once (`cat`) and against loading each (`info`).
# Usage: bench/cli/space.sh [LINES] [CAPTURES] [CAPTURE_LINES]
#   (defaults 2,000,000; 365 captures of 100,000 lines; MV_BENCH_RUNS=5 runs of each).
. "$(dirname "$0")/common.sh"
lines=${1:-2000000}
captures=${2:-365}
capture_lines=${3:-100000}

snapshot="$work/big.mirvaul"
make_snapshot "$lines" PC7 1 0 >"$snapshot"
echo "snapshot: $lines lines, $(wc -c <"$snapshot") bytes"
compare "info (load)" "du (load and totals)" "'$cli' info '$snapshot'" \
  "'$cli' du '$snapshot' --top 20"
rm -f "$snapshot"

library="$work/library"
mkdir -p "$library"
make_snapshot "$capture_lines" PC1 2 0 >"$work/a"
make_snapshot "$capture_lines" PC1 2 1 >"$work/b"
i=0
while [ "$i" -lt "$captures" ]; do
  day=$((i % 28 + 1))
  month=$((i / 28 % 12 + 1))
  year=$((2020 + i / 336))
  name=$(printf 'BENCH.PC1.%02d.%02d.%04d.09.00.00.mirvaul' "$day" "$month" "$year")
  if [ $((i % 2)) -eq 0 ]; then cp "$work/a" "$library/$name"; else cp "$work/b" "$library/$name"; fi
  i=$((i + 1))
done
echo "library: $captures captures of $capture_lines lines, $(du -sm "$library" | cut -f1) MB"
cache="$library/mirrorvault-totals.cache"
compare "cat (read once)" "history, cache cold" "cat '$library'/*.mirvaul" \
  "rm -f '$cache'; '$cli' history '$library' --computer PC1"
compare "info of each (load once)" "history, cache cold" \
  "for f in '$library'/*.mirvaul; do '$cli' info \"\$f\"; done" \
  "rm -f '$cache'; '$cli' history '$library' --computer PC1"
"$cli" history "$library" --computer PC1 >/dev/null
compare "cat (read once)" "history, cache warm" "cat '$library'/*.mirvaul" \
  "'$cli' history '$library' --computer PC1"
echo "history lines: $(wc -l <"$work/run.out")"
