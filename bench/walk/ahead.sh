#!/bin/sh
# The walk that lists ahead against the sequential walk, both through an in-memory tree whose
# every listing waits 1 ms and 5 ms (release build): their times and ratio, and whether the
# two files are the same. The sequential walk of the full tree at 5 ms takes over a quarter
# of an hour (two listings per folder); smaller trees give the ratio sooner.
# Usage: bench/walk/ahead.sh [FOLDERS ENTRIES [DELAY_US...]] (default 100000 1000000 1000 5000)
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
cmake --preset release >/dev/null
cmake --build --preset release --target walk_ahead_bench >/dev/null
"$(find "$root/build/release" -name walk_ahead_bench -type f | head -n 1)" "$@"
