#!/bin/sh
# Opening file-server snapshots of 1, 5 and 20 million entries with `mirrorvault-cli info`
# against one pass of `wc -l` over the same file, the peak memory of that open against the
# file's size and the bound of 64 MiB + 32 bytes per directory, and the fill and the sorts of
# a directory of 100,000 entries; then the listing of a folder in the middle of the file and a
# search of the whole file after the open.
# Usage: bench/load/run.sh [REPEATS] [ENTRIES...] (default 3; 1000000 5000000 20000000).
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
repeats=${1:-3}
[ $# -gt 0 ] && shift
sizes=${*:-1000000 5000000 20000000}

cmake --preset release >/dev/null
cmake --build --preset release --target load_bench mirrorvault-cli >/dev/null
bench=$(find "$root/build/release" -name load_bench -type f | head -n 1)
cli=$(find "$root/build/release" -name mirrorvault-cli -type f | head -n 1)

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

# A snapshot in the writer's order, as a file server gives it: 3 shares, each root holding
# top folders of 10 folders of 1,000 files each (the last one fewer).
make_snapshot() {
  awk -v target="$1" 'BEGIN {
    ORS = "\r\n"
    print "Mirrorvault file"; print "VERSION: 1.0"; print "COMPUTER: FS1"
    print "GROUP: WORKGROUP"; print "DATE CREATED: 05.12.2026 09:04:05"; print ""
    shares = 3; per = 1000; inner = 10
    leaves = int((target / shares + per - 1) / per); tops = int((leaves + inner - 1) / inner)
    left = target
    for (s = 0; s < shares; s++) {
      print "SHARENAME: Share" s
      for (t = 0; t < tops; t++) printf "Department %04d;;d;;0;;%d.%d.%d\r\n", t, t % 12 + 1, t % 28 + 1, 2000 + t % 20
      for (t = 0; t < tops && left > 0; t++) {
        for (d = 0; d < inner; d++) printf "Department %04d\\Project %02d;;d;;0;;3.4.2011\r\n", t, d
        for (d = 0; d < inner && left > 0; d++)
          for (f = 0; f < per && left > 0; f++) {
            left--
            printf "Department %04d\\Project %02d\\Quarterly report %06d final.docx;;f;;%d;;%d.%d.%d\r\n", t, d, f, (f * 7919 + t) % 50000000, f % 12 + 1, f % 28 + 1, 2000 + f % 25
          }
      }
    }
    print "END"
  }'
}

best_ms() {  # best wall time in ms of $repeats runs of the command
  best=""
  r=0
  while [ "$r" -lt "$repeats" ]; do
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    t=$((end - start))
    if [ -z "$best" ] || [ "$t" -lt "$best" ]; then best=$t; fi
    r=$((r + 1))
  done
  awk "BEGIN { printf \"%.3f\", $best / 1e6 }"
}
# Processor time (user + system) of 5 runs: less disturbed by other work on the machine.
cpu_s() {
  /usr/bin/time -f "%U %S" sh -c 'i=0; while [ $i -lt 5 ]; do "$@" >/dev/null; i=$((i + 1)); done' sh "$@" 2>&1 | tail -n 1 | awk '{ print $1 + $2 }'
}
peak_kb() {
  /usr/bin/time -v "$@" 2>&1 >/dev/null | sed -n 's/.*Maximum resident set size (kbytes): //p'
}

base_kb=$(peak_kb "$cli" --help)
for entries in $sizes; do
  snap="$dir/WORKGROUP.FS1.05.12.2026.09.04.05.mirvaul"
  make_snapshot "$entries" > "$snap"
  bytes=$(wc -c < "$snap")
  dirs=$(grep -c ';;d;;' "$snap" || true)
  echo "== $entries entries: $bytes bytes, $dirs directories"
  "$cli" info "$snap" | grep '^Shares\|^Files\|^Directories' | tr '\n' ' '; echo
  cat "$snap" >/dev/null  # both read from the page cache
  wc_ms=$(best_ms wc -l "$snap")
  info_ms=$(best_ms "$cli" info "$snap")
  awk -v w="$wc_ms" -v i="$info_ms" 'BEGIN {
    printf "wc -l %.1f ms; mirrorvault-cli info %.1f ms; ratio %.2f (target: at most 1.5)\n", w, i, i / w }'
  wc_cpu=$(cpu_s wc -l "$snap")
  info_cpu=$(cpu_s "$cli" info "$snap")
  awk -v w="$wc_cpu" -v i="$info_cpu" 'BEGIN {
    printf "processor time of 5 runs: wc -l %.2f s, info %.2f s, ratio %.2f\n", w, i, i / w }'
  peak=$(peak_kb "$cli" info "$snap")
  awk -v peak="$peak" -v base="$base_kb" -v file="$bytes" -v dirs="$dirs" 'BEGIN {
    bound = 64 * 1048576 + 32 * dirs
    printf "peak RSS %.1f MiB (%.1f MiB above the process without a snapshot); file %.1f MiB; bound 64 MiB + 32 B/dir = %.1f MiB -> %s\n",
      peak / 1024, (peak - base) / 1024, file / 1048576, bound / 1048576, (peak * 1024 <= bound ? "within" : "ABOVE")
  }'
  # Then a folder of 1,000 files in the middle of the file, and a search of every line.
  "$bench" load "$snap" "$repeats" 'Share1\Department 0010\Project 05\'
  deep_kb=$(peak_kb "$bench" load "$snap" 1 'Share1\Department 0010\Project 05\')
  awk -v peak="$deep_kb" 'BEGIN { printf "peak RSS of load, listing and search: %.1f MiB\n", peak / 1024 }'
  rm -f "$snap"
done

"$bench" list 100000 "$repeats" "$dir/big.mirvaul"
