#!/bin/sh
# The web page export of one entry 20,000 and 200,000 folders deep (every folder named by the
# entry's path alone): its time and peak memory against the CSV export of the same file,
# which is linear in the file's size. Usage: bench/html/deep.sh (MV_BENCH_RUNS=5 runs).
. "$(dirname "$0")/../cli/common.sh"

for levels in 20000 200000; do
  deep="$work/deep$levels.mirvaul"
  awk -v levels="$levels" 'BEGIN { ORS = "\r\n"; print "Mirrorvault file"; print "VERSION: 1.0"
    print "COMPUTER: PC7"; print "GROUP: BENCH"; print "DATE CREATED: 05.12.2026 09:04:05"
    print ""; print "SHARENAME: Docs"; ORS = ""
    for (i = 0; i < levels; i++) print "a\\"
    ORS = "\r\n"; print "deep.txt;;f;;1;;3.15.2010"; print "END" }' >"$deep"
  echo "--- $levels levels, $(wc -c <"$deep") bytes"
  compare "export --format csv" "export --format html" \
    "'$cli' export '$deep' -o '$work/out.csv'" "'$cli' export '$deep' --format html -o '$work/out.html'"
  echo "peak memory: csv $(peak_kb "$cli" export "$deep" -o "$work/out.csv") KiB," \
    "html $(peak_kb "$cli" export "$deep" --format html -o "$work/out.html") KiB"
done
