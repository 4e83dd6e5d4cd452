#!/usr/bin/env bash
# Runs one Windows program under Wine and passes its exit code through: ctest's emulator
# for every .exe, and the way to run one test by hand:
#   tools/wine/run-exe.sh build/win64/tests/unit/mv_platform_tests.exe --gtest_filter='Clock*'
# A 32-bit program on a kernel without 32-bit user mode exits 77 (ctest: skipped).
set -euo pipefail
if [[ $# -lt 1 ]]; then
  echo "usage: $0 PROGRAM.exe [ARGUMENTS...]" >&2
  exit 2
fi
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
if [[ "$(mv_pe_machine "$1")" == 014c ]] && ! mv_wine_runs_32bit; then
  echo "run-exe: $1 is a 32-bit program and this kernel cannot run 32-bit code (wine32);" \
    "the win64 preset runs the same tests" >&2
  exit 77
fi
mv_wine_setup "$1"
exec "$MV_WINE_LOADER" "$@"
