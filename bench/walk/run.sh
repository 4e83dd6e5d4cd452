#!/bin/sh
# The share walk (mirrorvault-cli capture, release build) against
# `find ROOT -printf '%P;;%y;;%s;;%TD\n' > /dev/null` over the same generated trees of 100k
# and 1M entries: the ratio of the best of three warm runs, and each capture's peak memory.
# Usage: bench/walk/run.sh [ENTRIES...] (default: 100000 1000000). Needs /usr/bin/time.
# The trees go below $MV_BENCH_DIR, by default /dev/shm where it exists (a memory file system:
# generating a million files on a disk takes most of an hour).
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
sizes=${*:-100000 1000000}
runs=3

cmake --preset release >/dev/null
cmake --build --preset release --target make_tree mirrorvault-cli >/dev/null
build="$root/build/release"
make_tree=$(find "$build" -name make_tree -type f | head -n 1)
cli="$build/cli/mirrorvault-cli"

base=${MV_BENCH_DIR:-}
if [ -z "$base" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then base=/dev/shm; fi
work=$(mktemp -d ${base:+-p "$base"})
trap 'rm -rf "$work"' EXIT

. "$root/bench/timing.sh"

run_find() { find "$1" -printf '%P;;%y;;%s;;%TD\n' >/dev/null; }
run_capture() {
  "$cli" capture --snapshots "$work/snaps" --group BENCH --computer PC --shares Share \
    --unc-root "$work/unc-$1"
}

mkdir -p "$work/snaps"
for n in $sizes; do
  mkdir -p "$work/unc-$n/PC"
  made=$("$make_tree" "$work/unc-$n/PC/Share" "$n")
  find_ms=$(best_ms run_find "$work/unc-$n/PC/Share")
  capture_ms=$(best_ms run_capture "$n")
  snapshot=$(run_capture "$n")
  lines=$(wc -l <"$snapshot")
  capture_kb=$(peak_kb "$cli" capture --snapshots "$work/snaps" --group BENCH --computer PC \
    --shares Share --unc-root "$work/unc-$n")
  find_kb=$(peak_kb find "$work/unc-$n/PC/Share" -printf '%P;;%y;;%s;;%TD\n')
  awk -v n="$made" -v c="$capture_ms" -v f="$find_ms" -v l="$lines" -v p="$capture_kb" \
    -v fk="$find_kb" 'BEGIN {
    printf "entries=%d lines=%d capture_ms=%s find_ms=%s ratio=%.2f (target <= 0.8) " \
           "capture_peak_kb=%s find_peak_kb=%s\n", n, l, c, f, c / f, p, fk
  }'
  rm -f "$work/snaps"/*
  rm -rf "$work/unc-$n"
done
