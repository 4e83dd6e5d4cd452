#!/usr/bin/env bash
# Renders the main window with a sample snapshot library under Wine, window frames included,
# alone and with its dialogs over it, and the Take Snapshots dialog on the sample network
# (during its scan and when idle, from the demo's road), into docs/screenshots/*.png (the
# README shows them).
#   tools/screenshots.sh [BUILD_DIR [SCENE...]]
#     BUILD_DIR default: build/win64 (cmake --preset win64 && cmake --build --preset win64
#                        --target mv_screenshot_driver Mirrorvault mv_sample_network
#                        mv_demo_driver)
#     SCENE default: all of library folder properties search settings about
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build/win64}"
scenes=("${@:2}")
[[ ${#scenes[@]} -gt 0 ]] || scenes=(library folder properties search settings about)
driver="$build/tools/screenshots/mv_screenshot_driver.exe"
out="$root/docs/screenshots"
if [[ ! -f "$driver" ]]; then
  echo "screenshots: $driver is missing; build the target mv_screenshot_driver first" >&2
  exit 1
fi
source "$root/tools/wine/env.sh"
mv_wine_setup "$driver"

sample="$(mktemp -d /tmp/mv-screenshots.XXXXXX)"
trap 'rm -rf "$sample"' EXIT
python3 "$root/tools/screenshots/sample_library.py" "$sample"
mkdir -p "$out"

windows_path() { echo "Z:${1//\//\\}"; }

for scene in "${scenes[@]}"; do
  rm -f "$sample/ready-$scene"
  mv_wine explorer /desktop=shot,1280x800 "$driver" "$(windows_path "$sample")" "$scene" \
    </dev/null >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 600); do
    [[ -f "$sample/ready-$scene" ]] && break
    sleep 0.1
  done
  if [[ ! -f "$sample/ready-$scene" ]]; then
    echo "screenshots: the scene '$scene' did not come up" >&2
    kill "$pid" 2>/dev/null || true
    exit 1
  fi
  sleep 1
  import -window root "$out/main-window-$scene.png"
  echo "$out/main-window-$scene.png"
  wait "$pid" || true
done

# The dialog, as the demo's road meets it; its prefix stays in the build tree for next time.
road="$build/screenshots-road"
bash "$root/tools/demo/road.sh" "$build" "$road" >/dev/null
for scene in scanning idle; do
  cp "$road/0"[23]"-take-snapshots-$scene.png" "$out/take-snapshots-$scene.png"
  echo "$out/take-snapshots-$scene.png"
done
