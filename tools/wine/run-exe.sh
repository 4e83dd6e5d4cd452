#!/usr/bin/env bash
# Runs one Windows program under Wine and passes its exit code through: ctest's emulator
# for every .exe, and the way to run one test by hand:
#   tools/wine/run-exe.sh build/win32/tests/unit/mv_platform_tests.exe --gtest_filter='Dir*'
set -euo pipefail
if [[ $# -lt 1 ]]; then
  echo "usage: $0 PROGRAM.exe [ARGUMENTS...]" >&2
  exit 2
fi
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
mv_wine_setup "$1"
exec "$MV_WINE_LOADER" "$@"
