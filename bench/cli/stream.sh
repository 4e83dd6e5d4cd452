#!/bin/sh
# Find, export and diff over one generated pair of large snapshots with two builds of
# mirrorvault-cli, a base and a new one: wall time and peak memory of each, and the ratio new
# / base. The new build reads snapshots in pieces; the base one may map them whole.
# Usage: bench/cli/stream.sh BASE_CLI NEW_CLI [LINES] (default 2,000,000 lines a snapshot;
# MV_BENCH_DIR names the scratch folder's parent).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
base=$1 new=$2 lines=${3:-2000000}
work=$(mktemp -d ${MV_BENCH_DIR:+-p "$MV_BENCH_DIR"})
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/lib"
old="$work/lib/BENCH.PC7.01.12.2026.09.04.05.mirvaul"
cur="$work/lib/BENCH.PC7.02.12.2026.09.04.05.mirvaul"
awk -v lines="$lines" -v computer=PC7 -v seed=1 -v variant=0 -f "$here/make_snapshot.awk" >"$old"
awk -v lines="$lines" -v computer=PC7 -v seed=1 -v variant=1 -f "$here/make_snapshot.awk" >"$cur"
echo "snapshots: $lines lines, $(($(wc -c <"$old") / 1048576)) MiB each"
cat "$old" "$cur" >/dev/null  # both from the page cache

# measure CLI ARGS...: "seconds peak-KiB" of one run, its output to a file.
measure() {
  /usr/bin/time -f "%e %M" -o "$work/time.txt" "$@" >"$work/out.txt" 2>/dev/null || true
  tail -n 1 "$work/time.txt"  # after "Command exited with non-zero status" when there is one
}
for task in "find|$work/lib|*quokka*" "find-all|$work/lib|*" "export|$cur|--format|csv" \
  "export-json|$cur|--format|json" "diff|$old|$cur"; do
  name=${task%%|*}
  args=$(echo "${task#*|}" | tr '|' ' ')
  command=${name%%-*}
  set -f
  b=$(measure "$base" $command $args)
  n=$(measure "$new" $command $args)
  set +f
  echo "$name $b $n" | awk '{ printf "%-12s base %6.2f s %8.1f MiB   new %6.2f s %8.1f MiB   time x%.2f  memory x%.3f\n",
    $1, $2, $3 / 1024, $4, $5 / 1024, ($2 > 0 ? $4 / $2 : 0), $5 / $3 }'
done
