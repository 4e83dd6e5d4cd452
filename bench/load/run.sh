#!/bin/sh
# Loading a snapshot of exactly 1,048,575 non-empty lines (the loader's limit) against one
# pass of `wc -l` over the same file, peak memory of one load, and the fill and the sorts of a
# directory of 100,000 entries. Usage: bench/load/run.sh [REPEATS] (default 5).
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
repeats=${1:-5}
lines=1048575

cmake --preset release >/dev/null
cmake --build --preset release --target load_bench mirrorvault-cli >/dev/null
bench=$(find "$root/build/release" -name load_bench -type f | head -n 1)
cli=$(find "$root/build/release" -name mirrorvault-cli -type f | head -n 1)

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
snap="$dir/WORKGROUP.PC7.05.12.2026.09.04.05.mirvaul"

# A valid snapshot in the writer's order: 4 shares, each with 64 directories in its root
# block and then each directory's block of files, padded so the line count is exact.
awk -v target="$lines" 'BEGIN {
  ORS = "\r\n"
  print "Mirrorvault file"; print "VERSION: 1.0"; print "COMPUTER: PC7"
  print "GROUP: WORKGROUP"; print "DATE CREATED: 05.12.2026 09:04:05"; print ""
  shares = 4; dirs = 64
  files = target - 5 - shares * (1 + dirs) - 1
  per = int(files / (shares * dirs)); extra = files - per * shares * dirs; k = 0
  for (s = 0; s < shares; s++) {
    print "SHARENAME: Share" s
    for (d = 0; d < dirs; d++) printf "Projects%03d;;d;;0;;%d.%d.%d\r\n", d, d % 12 + 1, d % 28 + 1, 2000 + d % 20
    for (d = 0; d < dirs; d++) {
      count = per + (k < extra ? 1 : 0); k++
      for (f = 0; f < count; f++)
        printf "Projects%03d\\Quarterly report %06d final.docx;;f;;%d;;%d.%d.%d\r\n", d, f, (f * 7919) % 50000000, f % 12 + 1, f % 28 + 1, 2000 + f % 25
    }
  }
  print "END"
}' > "$snap"

nonempty=$(tr -d "\r" < "$snap" | grep -c . || true)
bytes=$(wc -c < "$snap")
echo "snapshot: $bytes bytes, $nonempty non-empty lines"

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

cat "$snap" >/dev/null  # both read from the page cache
wc_ms=$(best_ms wc -l "$snap")
info_ms=$(best_ms "$cli" info "$snap")
echo "wc -l: $wc_ms ms; mirrorvault-cli info (process, load + counts): $info_ms ms"
awk "BEGIN { printf \"ratio info / wc -l = %.2f (target: at most 1.5)\n\", $info_ms / $wc_ms }"
"$bench" load "$snap" "$repeats"

# Processor time (user + system) of 10 runs each: less disturbed by other work on the machine.
cpu_s() {
  /usr/bin/time -f "%U %S" sh -c 'i=0; while [ $i -lt 10 ]; do "$@" >/dev/null; i=$((i + 1)); done' sh "$@" 2>&1 | tail -n 1 | awk '{ print $1 + $2 }'
}
wc_cpu=$(cpu_s wc -l "$snap")
info_cpu=$(cpu_s "$cli" info "$snap")
awk "BEGIN { printf \"processor time of 10 runs: wc -l %.2f s, info %.2f s, ratio %.2f\n\", $wc_cpu, $info_cpu, $info_cpu / $wc_cpu }"

peak_kb=$(/usr/bin/time -v "$cli" info "$snap" 2>&1 >/dev/null | sed -n 's/.*Maximum resident set size (kbytes): //p')
base_kb=$(/usr/bin/time -v "$cli" --help 2>&1 >/dev/null | sed -n 's/.*Maximum resident set size (kbytes): //p')
table_bytes=$((lines * 8))
awk -v peak="$peak_kb" -v base="$base_kb" -v file="$bytes" -v table="$table_bytes" 'BEGIN {
  bound = (file + table) * 1.10
  printf "peak RSS of one load: %.1f MiB (%.1f MiB above the process without a load)\n", peak / 1024, (peak - base) / 1024
  printf "bound: (file %.1f MiB + line table %.1f MiB) * 1.10 = %.1f MiB -> %s\n", file / 1048576, table / 1048576, bound / 1048576, (peak * 1024 <= bound ? "within" : "ABOVE")
}'

"$bench" list 100000 "$repeats" "$dir/big.mirvaul"
