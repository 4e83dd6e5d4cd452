#!/bin/sh
# mirrorvault-cli find over 64 generated snapshots of 100,000 entries each (16 computers, 4
# captures each), looking for a name that about one entry in a thousand holds, against
# `LC_ALL=C grep -i -c` over the same files; then the peak memory over 16 and over 64
# snapshots, which should not grow with their number.
# Usage: bench/search/find.sh (MV_BENCH_RUNS=5 runs of each, medians reported).
. "$(dirname "$0")/common.sh"

lib="$work/library"
mkdir -p "$lib" "$work/quarter"
i=0
while [ "$i" -lt 64 ]; do
  pc=$((i % 16))
  name="BENCH.PC$pc.0$((1 + i / 16)).12.2026.09.04.05.mirvaul"
  make_snapshot 100010 "PC$pc" "$i" 0 >"$lib/$name"
  if [ "$i" -lt 16 ]; then ln "$lib/$name" "$work/quarter/$name"; fi
  i=$((i + 1))
done
echo "library: $(ls "$lib" | wc -l) snapshots, $(du -sm "$lib" | cut -f1) MB"
cat "$lib"/* >/dev/null  # both read from the page cache

for pattern in quokka '*quokka*.pdf'; do
  literal=$(echo "$pattern" | tr -d '*')
  echo "pattern '$pattern' (grep: '$literal')"
  compare "grep -i -c" "find" "LC_ALL=C grep -i -c '$literal' '$lib'/*" "'$cli' find '$lib' '$pattern'"
  hits=$("$cli" find "$lib" "$pattern" | wc -l)
  lines=$(LC_ALL=C grep -i -c "$literal" "$lib"/* | awk -F: '{ s += $NF } END { print s }')
  echo "hits: find $hits, lines grep counts $lines"
done
echo "peak memory of find: 16 snapshots $(peak_kb "$cli" find "$work/quarter" quokka) KiB," \
  "64 snapshots $(peak_kb "$cli" find "$lib" quokka) KiB"
