#!/bin/sh
# prune --dry-run over a year of nightly captures of 600 computers (219,000 snapshot files in
# 30 groups), against `ls -f DIR | wc -l` over the same directory as the baseline. Both print
# one line per name into wc -l. Usage: bench/prune/run.sh [COMPUTERS] [DAYS].
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
computers=${1:-600}
days=${2:-365}
repeats=${REPEATS:-5}

cmake --preset release >/dev/null
cmake --build --preset release --target mirrorvault-cli >/dev/null
cli="$root/build/release/cli/mirrorvault-cli"

dir=$(mktemp -d ${MV_BENCH_DIR:+-p "$MV_BENCH_DIR"})
trap 'rm -rf "$dir"' EXIT
awk -v computers="$computers" -v days="$days" 'BEGIN {
  split("31 28 31 30 31 30 31 31 30 31 30 31", length_of)
  for (c = 0; c < computers; c++) {
    m = 1; d = 1
    for (k = 0; k < days; k++) {
      printf "GROUP%d.PC%d.%02d.%02d.2026.02.%02d.%02d.mirvaul\n", c % 30, c, d, m, c % 60, k % 60
      if (++d > length_of[m]) { d = 1; if (++m > 12) m = 1 }
    }
  }
}' | (cd "$dir" && xargs touch)

# best_ms COMMAND: the best wall time of $repeats runs of a shell command, in milliseconds.
best_ms() {
  best=""
  r=0
  while [ "$r" -lt "$repeats" ]; do
    start=$(date +%s%N)
    sh -c "$1" >/dev/null
    t=$(($(date +%s%N) - start))
    if [ -z "$best" ] || [ "$t" -lt "$best" ]; then best=$t; fi
    r=$((r + 1))
  done
  awk "BEGIN { printf \"%.1f\", $best / 1e6 }"
}

# cpu_ms COMMAND: the least processor time (user + system) of $repeats runs, in milliseconds:
# on a busy machine the wall clock also counts the other programs.
cpu_ms() {
  best=""
  r=0
  while [ "$r" -lt "$repeats" ]; do
    t=$(/usr/bin/time -f '%U %S' sh -c "$1" 2>&1 >/dev/null | awk '{ printf "%d", ($1 + $2) * 1000 }')
    if [ -z "$best" ] || [ "$t" -lt "$best" ]; then best=$t; fi
    r=$((r + 1))
  done
  echo "$best"
}

policy="--keep-daily 7 --keep-weekly 4 --keep-monthly 12"
entries=$(ls -f "$dir" | wc -l)
going=$("$cli" prune "$dir" $policy --dry-run | tail -n 1)
ls_ms=$(best_ms "ls -f '$dir' | wc -l")
prune_ms=$(best_ms "'$cli' prune '$dir' $policy --dry-run | wc -l")
echo "ls_f_wc_ms=$ls_ms (entries $entries)"
echo "prune_dry_run_ms=$prune_ms ($going; $policy)"
if [ -x /usr/bin/time ]; then
  ls_cpu=$(cpu_ms "ls -f '$dir' | wc -l")
  prune_cpu=$(cpu_ms "'$cli' prune '$dir' $policy --dry-run | wc -l")
  echo "processor time: ls -f|wc -l ${ls_cpu} ms, prune --dry-run ${prune_cpu} ms"
  awk "BEGIN { printf \"ratio of processor time = %.2f\n\", $prune_cpu / $ls_cpu }"
fi
awk "BEGIN { printf \"ratio prune --dry-run / ls -f|wc -l = %.2f (target: at most 2)\n\", $prune_ms / $ls_ms }"
