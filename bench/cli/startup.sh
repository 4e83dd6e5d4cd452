#!/bin/sh
# Start-up of mirrorvault-cli: LAUNCHES runs of `mirrorvault-cli --help` (the cheapest command)
# against as many runs of /bin/true, the bare cost of starting a process; given another build of
# the program, against as many runs of its `--help` too. CLI, when given, is measured instead
# of the release build (builds of one kind compare fairly: sanitizers cost start-up too).
# Usage: bench/cli/startup.sh [OTHER_CLI [CLI]] (MV_BENCH_RUNS=5 rounds of LAUNCHES=200 runs
# each, medians reported).
. "$(dirname "$0")/common.sh"
launches=${LAUNCHES:-200}
other=${1:-}
cli=${2:-$cli}

# A shell loop of $launches runs of the command given.
loop() {
  echo "i=0; while [ \$i -lt $launches ]; do $1 >/dev/null; i=\$((i + 1)); done"
}

echo "libraries loaded at start: $(ldd "$cli" | wc -l) ($cli)"
compare "/bin/true" "mirrorvault-cli --help" "$(loop /bin/true)" "$(loop "'$cli' --help")"
if [ -n "$other" ]; then
  echo "libraries loaded at start: $(ldd "$other" | wc -l) ($other)"
  compare "other --help" "mirrorvault-cli --help" "$(loop "'$other' --help")" \
    "$(loop "'$cli' --help")"
fi
