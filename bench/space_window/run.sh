#!/bin/sh
# The Space window of the 32-bit program under Wine (natively or under qemu-i386; the preset
# win64 takes 64-bit Wine) over a generated snapshot of LINES lines (default 1,000,000: four
# shares of 64 folders): from the window's creation to its map drawn, against loading the
# same snapshot in the same process. Usage: bench/space_window/run.sh [PRESET] [LINES]
# (MV_BENCH_RUNS=3).
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
preset=${1:-win32}
lines=${2:-1000000}
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target space_window_bench >/dev/null
dir=$(mktemp -d ${MV_BENCH_DIR:+-p "$MV_BENCH_DIR"})
trap 'rm -rf "$dir"' EXIT
awk -v lines="$lines" -v computer=PC7 -v seed=1 -v variant=0 -f "$root/bench/cli/make_snapshot.awk" \
  >"$dir/BENCH.PC7.05.12.2026.09.04.05.mirvaul"
echo "snapshot: $lines lines, $(wc -c <"$dir/BENCH.PC7.05.12.2026.09.04.05.mirvaul") bytes"
windows_file="Z:$(printf '%s' "$dir/BENCH.PC7.05.12.2026.09.04.05.mirvaul" | tr / '\\')"
"$root/tools/wine/run-exe.sh" "$root/build/$preset/bench/space_window/space_window_bench.exe" \
  "$windows_file" "${MV_BENCH_RUNS:-3}"
