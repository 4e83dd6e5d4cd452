#!/bin/sh
# The Schedules window of the 32-bit program under Wine (wine32: natively or under qemu-i386;
# the preset win64 takes 64-bit Wine): 50 schedules of 100 runs each, the window opened and
# drawn, against reading and parsing its two files in the same process.
# Usage: bench/schedules_window/run.sh [PRESET] (default win32; MV_BENCH_RUNS=5).
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
preset=${1:-win32}
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target schedules_window_bench >/dev/null
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
windows_dir="Z:$(printf '%s' "$dir" | tr / '\\')"
"$root/tools/wine/run-exe.sh" "$root/build/$preset/bench/schedules_window/schedules_window_bench.exe" \
  "$windows_dir" "${MV_BENCH_RUNS:-5}"
