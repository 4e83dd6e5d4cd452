#!/bin/sh
# The web page export: its writing time and peak memory against the CSV export's and its
# size against the snapshot's; in headless Chromium the time until a page of 1,048,575
# lines is usable and until a folder of 100,000 entries lists, against a page of one entry
# opened in the same browser, and until the big page's Space view is drawn, against its
# first listing.
# Usage: bench/html/run.sh (MV_BENCH_RUNS=5 runs, medians reported).
. "$(dirname "$0")/../cli/common.sh"

big="$work/big.mirvaul"
awk -v lines=1048575 -v computer=PC7 -v seed=1 -v variant=0 -f "$root/bench/cli/make_snapshot.awk" >"$big"
wide="$work/wide.mirvaul"
awk 'BEGIN { ORS = "\r\n"; print "Mirrorvault file"; print "VERSION: 1.0"; print "COMPUTER: PC8"
  print "GROUP: BENCH"; print "DATE CREATED: 05.12.2026 09:04:05"; print ""
  print "SHARENAME: Share"; print "Wide;;d;;0;;1.2.2020"
  for (n = 0; n < 100000; n++)
    printf "Wide\\entry %06d.txt;;f;;%d;;%d.%d.%d\r\n", (n * 7919) % 100003, n * 13, n % 12 + 1, n % 28 + 1, 2000 + n % 25
  print "END" }' >"$wide"
small="$work/small.mirvaul"
printf 'Mirrorvault file\r\nVERSION: 1.0\r\nCOMPUTER: PC9\r\nGROUP: BENCH\r\nDATE CREATED: 05.12.2026 09:04:05\r\n\r\nSHARENAME: Share\r\na.txt;;f;;1;;1.2.2020\r\nEND\r\n' >"$small"

for name in big wide small; do
  "$cli" export "$work/$name.mirvaul" --format html -o "$work/$name.html"
done
compare "mirrorvault-cli export --format csv" "mirrorvault-cli export --format html" \
  "'$cli' export '$big' -o '$work/out.csv'" "'$cli' export '$big' --format html -o '$work/out.html'"
echo "peak memory: csv $(peak_kb "$cli" export "$big" -o "$work/out.csv") KiB," \
  "html $(peak_kb "$cli" export "$big" --format html -o "$work/out.html") KiB"
awk -v s="$(wc -c <"$big")" -v h="$(wc -c <"$work/big.html")" -v c="$(wc -c <"$work/out.csv")" \
  'BEGIN { printf "snapshot %d bytes, web page %d bytes (ratio %.2f), CSV %d bytes\n", s, h, h / s, c }'
awk -v s="$(wc -c <"$wide")" -v h="$(wc -c <"$work/wide.html")" \
  'BEGIN { printf "100,000-entry folder: snapshot %d bytes, web page %d bytes (ratio %.2f)\n", s, h, h / s }'
python3 "$here/page_bench.py" "$work/big.html" "$work/wide.html" "$work/small.html" \
  "#/Share/Wide" "$runs"
