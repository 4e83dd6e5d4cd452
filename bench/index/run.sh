#!/bin/sh
# Find over many snapshots with the capture indexes against reading every snapshot of the
# same library in the same process (the ratio is the figure), the index's bytes per distinct
# entry, its build time, and the indexing of one capture of 1,000,000 entries against one
# load of it.
# Usage: bench/index/run.sh [COMPUTERS CAPTURES ENTRIES] (default 4 200 20000: 800 snapshots
# of 20,000 entries, 1% replaced each night). The issue's size, 20,000 snapshots of 100,000
# entries: bench/index/run.sh 55 364 100000 (about 100 GB of snapshots).
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
computers=${1:-4}
captures=${2:-200}
entries=${3:-20000}
repeats=${REPEATS:-3}

cmake --preset release >/dev/null
cmake --build --preset release --target index_bench >/dev/null
bench=$(find "$root/build/release" -name index_bench -type f | head -n 1)

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$bench" make "$dir" "$computers" "$captures" "$entries"
echo "snapshots: $computers computers x $captures captures x $entries entries, $(du -sm "$dir" | cut -f1) MB"
"$bench" find "$dir" "$repeats" "invoice plan 42" "*.pdf" "budget" "nothing-like-this"
rm -f "$dir"/*
"$bench" make "$dir" 1 1 1000000
"$bench" capture "$dir"/*.mirvaul "$repeats"
