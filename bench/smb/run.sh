#!/bin/sh
# Capture through SMB (mirrorvault-cli capture --smb, release build) against
# `smbclient -N -c 'recurse; ls'` over the same share of a loopback smbd: a tree of ENTRIES
# entries (default 100000) made with the walk benchmark's generator. Reports the best of three
# warm runs of each, their ratio, and each one's peak memory. With DELAY_MS, both reach the
# server through delay_proxy.py, which holds every chunk that long each way: a link with a
# round trip of twice DELAY_MS, as far from the server as a branch office.
# Usage: bench/smb/run.sh [ENTRIES [DELAY_MS]]. Needs smbd, smbclient, python3 and
# /usr/bin/time. The server's scratch folder (and so the tree) goes below $MV_BENCH_DIR, by
# default /dev/shm.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
if [ "${1:-}" != "--inner" ]; then
  cmake --preset release >/dev/null
  cmake --build --preset release --target make_tree mirrorvault-cli with_smbd >/dev/null
  base=${MV_BENCH_DIR:-}
  if [ -z "$base" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then base=/dev/shm; fi
  TMPDIR=${base:-${TMPDIR:-/tmp}} exec "$root/build/release/bench/smb/with_smbd" \
    sh "$0" --inner "${1:-100000}" "${2:-0}"
fi

entries=$2
delay_ms=$3
runs=3
build="$root/build/release"
cli="$build/cli/mirrorvault-cli"
share="$MV_SMB_PUBLIC"
snaps=$(mktemp -d)
trap 'rm -rf "$snaps"' EXIT
"$build/bench/walk/make_tree" "$share/tree" "$entries" >/dev/null
port=$MV_SMB_PORT
if [ "$delay_ms" != 0 ]; then
  ports=$(mktemp)
  python3 "$root/bench/smb/delay_proxy.py" "$MV_SMB_PORT" "$delay_ms" >"$ports" &
  proxy=$!
  trap 'kill $proxy; rm -rf "$snaps" "$ports"' EXIT
  while [ ! -s "$ports" ]; do sleep 0.1; done
  port=$(cat "$ports")
  runs=1  # each run waits out every round trip
fi

. "$root/bench/timing.sh"
set -- "$cli" capture --smb --smb-port "$port" --snapshots "$snaps" --group BENCH \
  --computer localhost --shares Public
capture_ms=$(best_ms "$@")
lines=$(wc -l <"$("$@")")
capture_kb=$(peak_kb "$@")
set -- smbclient -N -p "$port" //localhost/Public -c 'recurse; ls'
smbclient_ms=$(best_ms "$@")
smbclient_kb=$(peak_kb "$@")
awk -v n="$entries" -v d="$delay_ms" -v l="$lines" -v c="$capture_ms" -v s="$smbclient_ms" \
  -v ck="$capture_kb" -v sk="$smbclient_kb" 'BEGIN {
  printf "entries=%d delay_ms_each_way=%s lines=%d capture_ms=%s smbclient_ms=%s " \
         "ratio=%.2f (target <= 0.5) capture_peak_kb=%s smbclient_peak_kb=%s\n", n, d, l, c, s, \
         c / s, ck, sk
}'
