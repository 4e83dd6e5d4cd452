#!/bin/sh
# mirrorvault-cli export of a generated snapshot of 1,048,575 lines to CSV in a file on tmpfs,
# against `cat` copying the same snapshot to a file on the same tmpfs.
# Usage: bench/cli/export.sh (MV_BENCH_RUNS=5 runs of each, medians reported). The copies
# go to /dev/shm unless MV_BENCH_TMPFS names another memory file system.
. "$(dirname "$0")/common.sh"

snapshot="$work/snapshot.mirvaul"
make_snapshot 1048575 PC7 1 0 >"$snapshot"
tmpfs=$(mktemp -d -p "${MV_BENCH_TMPFS:-/dev/shm}")
trap 'rm -rf "$work" "$tmpfs"' EXIT
echo "snapshot: $(wc -c <"$snapshot") bytes; copies to $tmpfs ($(df --output=fstype "$tmpfs" | tail -n 1))"
compare "cat" "mirrorvault-cli export" "rm -f '$tmpfs/copy'; cat '$snapshot' >'$tmpfs/copy'" \
  "rm -f '$tmpfs/out.csv'; '$cli' export '$snapshot' -o '$tmpfs/out.csv'"
echo "CSV: $(wc -c <"$tmpfs/out.csv") bytes, $(wc -l <"$tmpfs/out.csv") lines"
