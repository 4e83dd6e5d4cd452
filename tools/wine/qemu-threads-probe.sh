#!/usr/bin/env bash
# Runs tools/wine/qemu-threads-probe.c, a plain eight-thread Win32 program, a few times under
# wine32 (32-bit) and once under 64-bit Wine, in a prefix of its own, and prints each run's
# exit code, time and last lines. Where wine32 runs under qemu-i386 the 32-bit runs end in
# "qemu: uncaught target signal 11" or "stack smashing detected" while the 64-bit run passes:
# the emulator's fault, not the program's.
#   tools/wine/qemu-threads-probe.sh [RUNS]   (default 3; about a minute per 32-bit run)
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
runs="${1:-3}"
work="${TMPDIR:-/tmp}/mirrorvault-qemu-probe-$(id -u)"
mkdir -p "$work"
export MV_WINE_STATE="$work/state"
source "$root/tools/wine/env.sh"
mv_wine_setup >/dev/null || exit 1
export WINEDEBUG=-all

i686-w64-mingw32-gcc -O2 -static -o "$work/probe32.exe" "$root/tools/wine/qemu-threads-probe.c" || exit 1
x86_64-w64-mingw32-gcc -O2 -static -o "$work/probe64.exe" "$root/tools/wine/qemu-threads-probe.c" || exit 1
echo "32-bit programs run here: $(mv_32bit_mode || echo 'not at all')"

probe() {  # probe LOADER EXE LABEL
  local start=$SECONDS status
  (cd "$work" && timeout 600 "$1" "$2") >"$work/$3.log" 2>&1
  status=$?
  echo "$3: exit $status after $((SECONDS - start)) s: $(tail -2 "$work/$3.log" | paste -sd' ')"
}
probe "$MV_WINE_LOADER" "$work/probe64.exe" wine64
if mv_wine_runs_32bit; then
  for run in $(seq 1 "$runs"); do probe /usr/lib/wine/wine "$work/probe32.exe" "wine32-run$run"; done
else
  echo "wine32: does not start here"
fi
