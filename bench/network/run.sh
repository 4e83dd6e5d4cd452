#!/bin/sh
# The network scan and the capture job's worker pool, release build: a scan of the network
# tools/sample-network/make-network.sh describes (200 groups, 5,000 computers, 20,000
# shares) with the program's pauses against the same scan without them, and a capture of 64
# computers with eight workers against one over the same trees.
# Usage: bench/network/run.sh. The trees go below $MV_BENCH_DIR, by default /dev/shm.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
cmake --preset release >/dev/null
cmake --build --preset release --target bench_network >/dev/null
base=${MV_BENCH_DIR:-}
if [ -z "$base" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then base=/dev/shm; fi
work=$(mktemp -d ${base:+-p "$base"})
trap 'rm -rf "$work"' EXIT
"$root/tools/sample-network/make-network.sh" >"$work/network.txt"
"$root/build/release/bench/network/bench_network" "$work" "$work/network.txt"
