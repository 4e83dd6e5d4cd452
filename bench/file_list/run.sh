#!/bin/sh
# The file list of the 32-bit program under Wine: the time from the double click on a folder
# of 2,000, 5,000 and 100,000 files to the filled list, and of a click on the Size column,
# against loading the snapshot that holds the folder (the baseline, same run).
# Usage: bench/file_list/run.sh [PRESET] (default win32).
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
preset=${1:-win32}
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target file_list_bench >/dev/null
bench="$root/build/$preset/bench/file_list/file_list_bench.exe"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
windows_dir="Z:$(printf '%s' "$dir" | tr / '\\')"
"$root/tools/wine/run-exe.sh" "$bench" "$windows_dir" 2000 5000 100000
