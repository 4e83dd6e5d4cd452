#!/usr/bin/env bash
# The demo's road through Mirrorvault.exe, unattended on a display of its own (Xvfb): the
# sample network registered in a Wine prefix, the program started in a virtual desktop, and
# tools/demo/demo_driver.cpp clicking through Take Snapshot... to the newest snapshot while
# this script takes a screenshot of each step into OUT_DIR, cut to the program's windows,
# and prints its path.
#   tools/demo/road.sh BUILD_DIR OUT_DIR
# BUILD_DIR is a Windows build tree with Mirrorvault.exe, mv_sample_network.dll and
# mv_demo_driver.exe; the prefix lives in OUT_DIR/wine unless MV_WINE_STATE says otherwise.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="$(cd "${1:?usage: $0 BUILD_DIR OUT_DIR}" && pwd)"
mkdir -p "${2:?usage: $0 BUILD_DIR OUT_DIR}"
out="$(cd "$2" && pwd)"
export MV_WINE_STATE="${MV_WINE_STATE:-$out/wine}"
unset DISPLAY

source "$root/tools/wine/env.sh"
source "$root/tools/screenshots/crop.sh"
bash "$root/tools/sample-network/register.sh" "$build" \
  "$root/tools/sample-network/sample-network.txt" "$out/network" >/dev/null
mv_wine_setup "$build"
# Every run starts from an empty snapshots folder (the Documents folder is HOME).
rm -rf "$HOME/Mirrorvault"

windows_path() { echo "Z:${1//\//\\}"; }
shots="$out/requests"
rm -rf "$shots"
mkdir -p "$shots"
rm -f "$out"/[0-9][0-9]-*.png

mv_wine explorer /desktop=mirrorvault-demo,1280x800 "$build/tools/demo/mv_demo_driver.exe" \
  "$(windows_path "$build/app/Mirrorvault.exe")" "$(windows_path "$shots")" </dev/null &
driver=$!
# Each request names its screenshot and holds the screen area to keep.
while kill -0 "$driver" 2>/dev/null; do
  for want in "$shots"/*.want; do
    [[ -e "$want" ]] || continue
    name="$(basename "$want" .want)"
    mv_screenshot "$(cat "$want")" "$out/$name.png"
    echo "screenshot: $out/$name.png"
    rm -f "$want"
    touch "$shots/$name.done"
  done
  sleep 0.05
done
wait "$driver"
echo "snapshots: $HOME/Mirrorvault"
