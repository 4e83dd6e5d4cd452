#!/bin/sh
# mirrorvault-cli export-library over a year of monthly captures (12 generated snapshots of
# 262,143 lines), against `export --format json | gzip -6` of each snapshot into a file of its
# own, the same work done by the single-file export and gzip; then a rerun, which finds every
# file there, against the first run.
# Usage: bench/cli/export_library.sh (MV_BENCH_RUNS=5 runs of each, medians reported).
. "$(dirname "$0")/common.sh"

snapshots="$work/snapshots"
mkdir -p "$snapshots"
month=1
while [ "$month" -le 12 ]; do
  make_snapshot 262143 PC7 "$month" 0 >"$snapshots/BENCH.PC7.01.$(printf %02d "$month").2026.09.00.00.mirvaul"
  month=$((month + 1))
done
echo "library: $(du -sh "$snapshots" | cut -f1) in 12 snapshots"
compare "export | gzip" "export-library" \
  "rm -rf '$work/piped'; mkdir '$work/piped'; for f in '$snapshots'/*; do '$cli' export \"\$f\" --format json | gzip -6 >\"$work/piped/\${f##*/}.jsonl.gz\"; done" \
  "rm -rf '$work/out'; '$cli' export-library '$snapshots' '$work/out'"
echo "gzip: $(du -sh "$work/piped" | cut -f1); export-library: $(du -sh "$work/out" | cut -f1)"
compare "export-library" "export-library rerun" \
  "rm -rf '$work/out'; '$cli' export-library '$snapshots' '$work/out'" \
  "'$cli' export-library '$snapshots' '$work/out'"
