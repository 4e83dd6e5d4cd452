#!/usr/bin/env bash
# The sample network of the GUI tests, registered in their own Wine prefix ($MV_WINEPREFIX):
# the demo's shares, and in \\SERVER\Backup a folder whose walk takes a few seconds (a few
# hundred files reached through directory links many times over), so that a capture of
# SERVER is still busy when a test stops it.
#   tests/gui/sample-network.sh BUILD_DIR SHARES_ROOT
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${1:?usage: $0 BUILD_DIR SHARES_ROOT}"
shares="${2:?usage: $0 BUILD_DIR SHARES_ROOT}"

bash "$root/tools/sample/make-sample-tree.sh" "$shares" >/dev/null
slow="$shares/SERVER/Backup/slow"
mkdir -p "$slow/files" "$slow/links" "$slow/more" "$slow/most"
(cd "$slow/files" && touch $(seq -f "file%03g.dat" 1 250))
for i in $(seq 1 20); do ln -s ../files "$slow/links/f$i"; done
for i in $(seq 1 20); do ln -s ../links "$slow/more/l$i"; done
for i in $(seq 1 2); do ln -s ../more "$slow/most/m$i"; done
bash "$root/tools/sample-network/register.sh" "$build" \
  "$root/tools/sample-network/sample-network.txt" "$shares"
