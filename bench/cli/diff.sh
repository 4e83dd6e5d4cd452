#!/bin/sh
# mirrorvault-cli diff of two generated snapshots of 1,048,575 lines that differ in 1% of
# their files, against GNU diff of the same two files; and the peak memory of the diff
# against twice the size of the two files.
# Usage: bench/cli/diff.sh (MV_BENCH_RUNS=5 runs of each, medians reported).
. "$(dirname "$0")/common.sh"

old="$work/old.mirvaul"
new="$work/new.mirvaul"
make_snapshot 1048575 PC7 1 0 >"$old"
make_snapshot 1048575 PC7 1 1 >"$new"
bytes=$(($(wc -c <"$old") + $(wc -c <"$new")))
echo "snapshots: $(tr -d '\r' <"$new" | grep -c .) lines each, $bytes bytes together"
compare "GNU diff" "mirrorvault-cli diff" "diff '$old' '$new'" "'$cli' diff '$old' '$new'"
"$cli" diff "$old" "$new" | tail -n 1
peak=$(peak_kb "$cli" diff "$old" "$new")
awk -v peak="$peak" -v bytes="$bytes" 'BEGIN {
  printf "peak memory of the diff: %.1f MiB; twice the two files: %.1f MiB -> %s\n",
    peak / 1024, 2 * bytes / 1048576, (peak * 1024 <= 2 * bytes ? "within" : "ABOVE")
}'
