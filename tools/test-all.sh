#!/usr/bin/env bash
# The full test run, as CI runs it: installs what is missing, then builds and tests every
# preset: native (ASan + UBSan), tsan, fuzz (the fuzz_* targets share two minutes, each over
# its corpus), the 32-bit Windows product, and the Windows tests under 64-bit Wine on one
# Xvfb display.
# Exits non-zero when anything failed.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root="$PWD"
started=$SECONDS

bash tools/install-deps.sh || exit 1

failures=()
summaries=()
step() {  # step NAME COMMAND...: runs one stage, remembers a failure
  local name="$1"
  shift
  echo
  echo "=== $name"
  if ! "$@"; then
    echo "=== $name: FAILED"
    failures+=("$name")
  fi
}
run_ctest() {  # run_ctest PRESET: ctest with its summary kept for the end
  local log="build/ctest-$1.log"
  ctest --preset "$1" 2>&1 | tee "$log"
  local status=${PIPESTATUS[0]}
  summaries+=("$1: $(grep -E "tests passed|No tests were found" "$log" | tail -1)")
  return "$status"
}
configure_build() { cmake --preset "$1" && cmake --build --preset "$1"; }

# The fuzzing stage has about two minutes in all, shared evenly among the fuzz_* targets.
fuzz_total_seconds=120
run_fuzzers() {
  local targets=() target name corpus seconds
  mapfile -t targets < <(find build/fuzz -type f -executable -name 'fuzz_*' ! -name '*.*' | sort)
  if [[ ${#targets[@]} -eq 0 ]]; then
    echo "no fuzz_* targets yet"
    return 0
  fi
  seconds=$((fuzz_total_seconds / ${#targets[@]}))
  ((seconds >= 5)) || seconds=5
  for target in "${targets[@]}"; do
    name="$(basename "$target")"
    name="${name#fuzz_}"
    corpus=()
    [[ -d "tools/fuzz/corpus/$name" ]] && corpus=("tools/fuzz/corpus/$name")
    # New inputs go to a scratch corpus; the checked-in one is only read.
    mkdir -p "build/fuzz/work/$name" build/fuzz/artifacts
    echo "--- $(basename "$target"): $seconds s over ${corpus[*]:-an empty corpus}"
    "$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
      -artifact_prefix=build/fuzz/artifacts/ "build/fuzz/work/$name" "${corpus[@]}" || return 1
  done
}

# One display and one Wine prefix for every Windows stage. The runner points HOME at the
# prefix's scratch home for each program; the rest of this script keeps the caller's.
export MV_WINE_STATE="$root/build/wine"
source tools/wine/env.sh
caller_home="$HOME"
step "wine bench" mv_wine_setup
export HOME="$caller_home"
echo "DISPLAY=${DISPLAY:-} WINEPREFIX=${WINEPREFIX:-}"

step "native build" configure_build native
step "native tests" run_ctest native
step "tsan build" configure_build tsan
step "tsan tests" run_ctest tsan
step "fuzz build" configure_build fuzz
step "fuzzing" run_fuzzers
# The 32-bit product is always built; its tests need a kernel that runs 32-bit code
# (wine32). Elsewhere the win64 build runs the same tests, so only the programs are built.
if mv_wine_runs_32bit; then
  step "win32 build (32-bit product)" configure_build win32
  step "win32 tests (Wine)" run_ctest win32
else
  step "win32 build (32-bit product, programs and packages only)" \
    bash -c 'cmake --preset win32 && cmake --build --preset win32 --target Mirrorvault mirrorvault-cli package'
  echo "win32 tests: not run, this kernel cannot run 32-bit programs; win64 runs the same tests"
fi
step "win64 build" configure_build win64
step "win64 tests (Wine)" run_ctest win64

echo
echo "=== summary ($(((SECONDS - started) / 60)) min $(((SECONDS - started) % 60)) s)"
printf '%s\n' "${summaries[@]}"
if [[ ${#failures[@]} -gt 0 ]]; then
  printf 'FAILED: %s\n' "${failures[@]}"
  exit 1
fi
echo "all stages passed"
