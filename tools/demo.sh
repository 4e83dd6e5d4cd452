#!/usr/bin/env bash
# The program itself on a built-in default: installs what is missing, builds Mirrorvault.exe
# and the sample network provider, registers the sample network (groups WORKGROUP and
# OFFICE, computers PC1, PC2 and SERVER with their shares) in a Wine prefix under build/demo
# and starts Mirrorvault.exe there. Snapshot > Take Snapshot... scans that network; "Take
# Snapshots" captures the ticked computers; the new snapshots then appear in the main window.
#
#   bash tools/demo.sh               with a display: the program, for you to click through
#                                    without one (no DISPLAY): the same road unattended on
#                                    Xvfb, a screenshot of each step in build/demo
#   bash tools/demo.sh --unattended  the unattended road even with a display
#   bash tools/demo.sh --cli         the command line instead: mirrorvault-cli captures PC1
#                                    of a sample tree and lists the snapshot
#
# The 32-bit program runs where this machine runs 32-bit programs, else the 64-bit build of
# the same sources, each with the provider DLL of its own bitness.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root="$PWD"
demo="$root/build/demo"

mode=program
for arg in "$@"; do
  case "$arg" in
    --cli) mode=cli ;;
    --unattended) mode=unattended ;;
    *)
      sed -n '2,/^set /p' "$0" | sed -e '$d' -e 's/^# \{0,1\}//' >&2
      exit 2
      ;;
  esac
done
[[ "$mode" == program && -z "${DISPLAY:-}" ]] && mode=unattended

bash tools/install-deps.sh

cli_demo() {
  cmake --preset release >/dev/null
  cmake --build --preset release --target mirrorvault-cli
  local cli="$root/build/release/cli/mirrorvault-cli"
  rm -rf "$demo/cli"
  mkdir -p "$demo/cli/snapshots"
  bash tools/sample/make-sample-tree.sh "$demo/cli/network"
  echo
  echo "== capturing \\\\PC1 (shares Docs and Music)"
  local snapshot
  snapshot="$("$cli" capture --snapshots "$demo/cli/snapshots" --group WORKGROUP --computer PC1 \
    --shares "Docs;Music" --unc-root "$demo/cli/network")"
  echo "$snapshot"
  echo
  echo "== the snapshot library"
  "$cli" library "$demo/cli/snapshots"
  echo
  echo "== shares in the snapshot"
  "$cli" ls "$snapshot"
  echo
  echo "== \\\\PC1\\Docs, largest first"
  "$cli" ls "$snapshot" Docs --sort size --desc
}

if [[ "$mode" == cli ]]; then
  cli_demo
  exit 0
fi

source tools/wine/env.sh
preset=win64
mv_wine_runs_32bit && preset=win32
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target Mirrorvault mv_sample_network mv_demo_driver
build="$root/build/$preset"

if [[ "$mode" == unattended ]]; then
  bash tools/demo/road.sh "$build" "$demo"
  exit 0
fi

export MV_WINE_STATE="$demo/wine"
bash tools/sample-network/register.sh "$build" tools/sample-network/sample-network.txt \
  "$demo/network" >/dev/null
mv_wine_setup "$build"
cat <<TEXT

Mirrorvault.exe ($preset) is starting on the sample network.
  Snapshot > Take Snapshot...  scans it: WORKGROUP (PC1, PC2) and OFFICE (SERVER)
  Take Snapshots               captures every ticked computer under a ticked group
  close the dialog             the new snapshots appear in the tree on the left
Shares: $demo/network    Snapshots: $HOME/Mirrorvault
TEXT
mv_wine "$build/app/Mirrorvault.exe"
