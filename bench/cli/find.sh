#!/bin/sh
# mirrorvault-cli find over 64 generated snapshots of 100,000 entries each (16 computers, 4
# captures each), looking for names that about one entry in a thousand holds, against
# `LC_ALL=C grep -i -c` of the same text over the same files; then the peak memory of find
# over 4, 16 and 64 of the snapshots, which should not grow with their number.
# Usage: bench/cli/find.sh (MV_BENCH_RUNS=5 runs of each, medians reported).
. "$(dirname "$0")/common.sh"

lib="$work/library"
mkdir -p "$lib" "$work/4" "$work/16"
i=0
while [ "$i" -lt 64 ]; do
  pc=$((i % 16))
  name="BENCH.PC$pc.0$((1 + i / 16)).12.2026.09.04.05.mirvaul"
  make_snapshot 100010 "PC$pc" "$i" 0 >"$lib/$name"
  if [ "$i" -lt 4 ]; then ln "$lib/$name" "$work/4/$name"; fi
  if [ "$i" -lt 16 ]; then ln "$lib/$name" "$work/16/$name"; fi
  i=$((i + 1))
done
echo "library: $(ls "$lib" | wc -l) snapshots, $(du -sm "$lib" | cut -f1) MB"
cat "$lib"/* >/dev/null  # both read from the page cache

# find's pattern, and the expression grep counts the same lines with
for pair in 'quokka|quokka' '*quokka*.pdf|quokka.*\.pdf'; do
  pattern=${pair%%|*}
  expression=${pair#*|}
  echo "find '$pattern' against grep -i -c '$expression'"
  compare "grep -i -c" "find" "LC_ALL=C grep -i -c '$expression' '$lib'/*" \
    "'$cli' find '$lib' '$pattern'"
  hits=$("$cli" find "$lib" "$pattern" | wc -l)
  lines=$(LC_ALL=C grep -i -c "$expression" "$lib"/* | awk -F: '{ s += $NF } END { print s }')
  echo "hits: find $hits, lines grep counts $lines"
done

for n in 4 16 64; do
  dir="$work/$n"
  [ "$n" -eq 64 ] && dir="$lib"
  : >"$work/kb"
  for r in 1 2 3; do peak_kb "$cli" find "$dir" quokka >>"$work/kb"; done
  echo "peak memory of find over $n snapshots: $(tr '\n' ' ' <"$work/kb")KiB -> median $(median <"$work/kb") KiB"
done
