# Timing helpers the benchmark scripts source: the best wall time of a few warm runs, and the
# peak memory of one run. Set runs before calling best_ms (default 3).

now_ns() { date +%s%N; }

# best_ms COMMAND...: the best wall time of $runs runs, after one warm-up run.
best_ms() {
  "$@" >/dev/null
  best=""
  r=0
  while [ "$r" -lt "${runs:-3}" ]; do
    start=$(now_ns)
    "$@" >/dev/null
    t=$(($(now_ns) - start))
    if [ -z "$best" ] || [ "$t" -lt "$best" ]; then best=$t; fi
    r=$((r + 1))
  done
  awk "BEGIN { printf \"%.1f\", $best / 1e6 }"
}

# peak_kb COMMAND...: the largest resident set of one run, in kB (GNU time).
peak_kb() {
  peak_log=$(mktemp)
  /usr/bin/time -v "$@" 2>"$peak_log" >/dev/null
  sed -n 's/.*Maximum resident set size (kbytes): *//p' "$peak_log"
  rm -f "$peak_log"
}
