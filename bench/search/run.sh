#!/bin/sh
# Searching a snapshot of exactly 1,048,575 non-empty lines for a name that only its last entry
# holds, for names that nothing holds and for wildcards, against a plain scan of the lines in
# the same process and one pass of `grep -c` over the file.
# Usage: bench/search/run.sh [REPEATS] (default 5).
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
repeats=${1:-5}

cmake --preset release >/dev/null
cmake --build --preset release --target search_bench >/dev/null
bench=$(find "$root/build/release" -name search_bench -type f | head -n 1)

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
snap="$dir/WORKGROUP.PC7.05.12.2026.09.04.05.mirvaul"
"$bench" make "$snap"
echo "snapshot: $(wc -c < "$snap") bytes, $(tr -d '\r' < "$snap" | grep -c .) non-empty lines"

. "$root/bench/timing.sh"
runs=$repeats
echo "grep -c needle (process): $(best_ms grep -c needle "$snap") ms"
"$bench" search "$snap" "$repeats"
