# Shared by the search benchmarks (find.sh, diff.sh, export.sh; sourced, not run): the
# release build of mirrorvault-cli, a scratch folder, generated snapshots, the median of a
# few timed runs and the peak memory of one.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
runs=${MV_BENCH_RUNS:-5}

cmake --preset release >/dev/null
cmake --build --preset release --target mirrorvault-cli >/dev/null
cli="$root/build/release/cli/mirrorvault-cli"

work=$(mktemp -d ${MV_BENCH_DIR:+-p "$MV_BENCH_DIR"})
trap 'rm -rf "$work"' EXIT

# make_snapshot LINES COMPUTER SEED VARIANT > FILE
make_snapshot() {
  awk -v lines="$1" -v computer="$2" -v seed="$3" -v variant="$4" -f "$here/make_snapshot.awk"
}

now_ns() { date +%s%N; }

# run_ms COMMAND...: the wall time of one run in ms. Output goes to a file, not /dev/null:
# GNU grep stops at its first match when it sees its output is /dev/null.
run_ms() {
  start=$(now_ns)
  "$@" >"$work/run.out" || true
  awk -v ns="$(($(now_ns) - start))" 'BEGIN { printf "%.1f\n", ns / 1e6 }'
}

median() {
  sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# compare NAME_A NAME_B "COMMAND A" "COMMAND B": $runs runs of each, taking turns after a
# warm-up, then the medians and the ratio B / A.
compare() {
  : >"$work/a.ms"
  : >"$work/b.ms"
  sh -c "$3" >"$work/run.out" || true
  sh -c "$4" >"$work/run.out" || true
  r=0
  while [ "$r" -lt "$runs" ]; do
    run_ms sh -c "$3" >>"$work/a.ms"
    run_ms sh -c "$4" >>"$work/b.ms"
    r=$((r + 1))
  done
  a=$(median <"$work/a.ms")
  b=$(median <"$work/b.ms")
  echo "$1: $(tr '\n' ' ' <"$work/a.ms")ms -> median $a ms"
  echo "$2: $(tr '\n' ' ' <"$work/b.ms")ms -> median $b ms"
  awk -v a="$a" -v b="$b" -v na="$1" -v nb="$2" 'BEGIN { printf "ratio %s / %s = %.2f\n", nb, na, b / a }'
}

# peak_kb COMMAND...: the peak resident memory of one run, in KiB.
peak_kb() {
  /usr/bin/time -v "$@" 2>"$work/time.txt" >/dev/null || true
  sed -n 's/.*Maximum resident set size (kbytes): *//p' "$work/time.txt"
}
