#!/bin/sh
# Find with the capture indexes over a library of the issue's size, 55 computers with 364
# nightly captures of 100,000 entries each (20,020 snapshots, 1% replaced each night), on a
# disk that cannot hold it: about 120 GB of snapshots. Each computer's captures are made, its
# index is built, and then its snapshots are hollowed out: cut to nothing and grown back to
# their size as holes, with their write times put back, so that each keeps the identity, size
# and time its index recorded and takes no room. Find with the indexes then runs over all of
# them (it reads no snapshot whose index holds it). Reading every snapshot is timed on the
# first computer's captures while they are whole, and the figure for the library is that
# time times the computers (reading is linear in the snapshots read).
# Usage: bench/index/scale.sh [COMPUTERS CAPTURES ENTRIES] (REPEATS=3; MV_BENCH_DIR for the
# folder, which needs room for one computer's captures: 2.3 GB at the default size).
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
computers=${1:-55}
captures=${2:-364}
entries=${3:-100000}
repeats=${REPEATS:-3}
patterns='invoice plan 42|*.pdf|budget final 77|nothing-like-this'

cmake --preset release >/dev/null
cmake --build --preset release --target index_bench >/dev/null
bench=$(find "$root/build/release" -name index_bench -type f | head -n 1)
dir=$(mktemp -d ${MV_BENCH_DIR:+-p "$MV_BENCH_DIR"})
trap 'rm -rf "$dir" "$dir.scan" "$dir.indexed"' EXIT

hollow() {  # the snapshots of computer $1: holes of their size, with their times
  python3 - "$dir" "WG.$1." <<'PY'
import os, sys
folder, prefix = sys.argv[1], sys.argv[2]
for name in os.listdir(folder):
    if name.startswith(prefix) and name.endswith(".mirvaul"):
        path = os.path.join(folder, name)
        st = os.stat(path)
        os.truncate(path, 0)
        os.truncate(path, st.st_size)
        os.utime(path, ns=(st.st_atime_ns, st.st_mtime_ns))
PY
}

run_patterns() {  # scan|indexed
  old_ifs=$IFS
  IFS='|'
  # shellcheck disable=SC2086
  set -- $patterns
  IFS=$old_ifs
  "$bench" "$mode" "$dir" "$repeats" "$@"
}

c=0
build_ms=0
bytes=0
texts=0
distinct=0
while [ "$c" -lt "$computers" ]; do
  "$bench" make "$dir" 1 "$captures" "$entries" "$c"
  line=$("$bench" update "$dir" "PC$c")
  if [ "$c" -eq 0 ]; then
    echo "one computer: $(ls "$dir" | grep -c mirvaul) snapshots, $(du -sm "$dir" | cut -f1) MB"
    echo "$line"
    mode=scan run_patterns | tee "$dir.scan"
    mode=indexed run_patterns
  fi
  field() { echo "$line" | sed -n "s/.* \([0-9.]*\) $1.*/\1/p"; }
  build_ms=$(awk -v t="$build_ms" -v a="$(echo "$line" | sed -n 's/.*: \([0-9.]*\) ms,.*/\1/p')" 'BEGIN { print t + a }')
  bytes=$((bytes + $(field 'bytes,')))
  texts=$((texts + $(field 'of texts')))
  distinct=$((distinct + $(field 'entries,')))
  hollow "PC$c"
  c=$((c + 1))
done
echo "library: $(ls "$dir" | grep -c mirvaul) snapshots of $entries entries, $computers indexes," \
  "$(du -sm "$dir" | cut -f1) MB on disk (the snapshots hollowed)"
awk -v b="$bytes" -v t="$texts" -v d="$distinct" -v ms="$build_ms" 'BEGIN {
  printf "indexes: %d bytes for %d distinct entries: %.1f bytes per entry + %.1f of texts; built in %.0f ms in all\n", b, d, (b - t) / d, t / d, ms }'
mode=indexed run_patterns | tee "$dir.indexed"
# The ratio per pattern: the first computer's reading times the computers, against the
# indexes over every computer.
awk -v n="$computers" '
  FNR == NR { split($0, p, "'"'"'"); split($0, m, ": "); sub(/ ms.*/, "", m[2]); scan[p[2]] = m[2] * n; next }
  { split($0, p, "'"'"'"); split($0, m, ": "); sub(/ ms.*/, "", m[2]);
    printf "%s: reading every snapshot about %.0f ms, with the indexes %s ms: 1/%.0f\n", p[2], scan[p[2]], m[2], scan[p[2]] / m[2] }' \
  "$dir.scan" "$dir.indexed"
