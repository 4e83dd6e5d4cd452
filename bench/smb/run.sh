#!/bin/sh
# Capture through SMB (mirrorvault-cli capture --smb, release build) against
# `smbclient -N -c 'recurse; ls'` over the same share of a loopback smbd: a tree of ENTRIES
# entries (default 100000) made with the walk benchmark's generator. Reports the best of three
# warm runs of each, their ratio, and each one's peak memory.
# Usage: bench/smb/run.sh [ENTRIES]. Needs smbd, smbclient and /usr/bin/time. The server's
# scratch folder (and so the tree) goes below $MV_BENCH_DIR, by default /dev/shm.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
if [ "${1:-}" != "--inner" ]; then
  cmake --preset release >/dev/null
  cmake --build --preset release --target make_tree mirrorvault-cli with_smbd >/dev/null
  base=${MV_BENCH_DIR:-}
  if [ -z "$base" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then base=/dev/shm; fi
  TMPDIR=${base:-${TMPDIR:-/tmp}} exec "$root/build/release/bench/smb/with_smbd" \
    sh "$0" --inner "${1:-100000}"
fi

entries=$2
runs=3
build="$root/build/release"
cli="$build/cli/mirrorvault-cli"
share="$MV_SMB_PUBLIC"
snaps=$(mktemp -d)
trap 'rm -rf "$snaps"' EXIT
"$build/bench/walk/make_tree" "$share/tree" "$entries" >/dev/null

. "$root/bench/timing.sh"
set -- "$cli" capture --smb --smb-port "$MV_SMB_PORT" --snapshots "$snaps" --group BENCH \
  --computer localhost --shares Public
capture_ms=$(best_ms "$@")
lines=$(wc -l <"$("$@")")
capture_kb=$(peak_kb "$@")
set -- smbclient -N -p "$MV_SMB_PORT" //localhost/Public -c 'recurse; ls'
smbclient_ms=$(best_ms "$@")
smbclient_kb=$(peak_kb "$@")
awk -v n="$entries" -v l="$lines" -v c="$capture_ms" -v s="$smbclient_ms" -v ck="$capture_kb" \
  -v sk="$smbclient_kb" 'BEGIN {
  printf "entries=%d lines=%d capture_ms=%s smbclient_ms=%s ratio=%.2f (target <= 1.0) " \
         "capture_peak_kb=%s smbclient_peak_kb=%s\n", n, l, c, s, c / s, ck, sk
}'
