#!/usr/bin/env bash
# Renders the main window with a sample snapshot library under Wine, window frames included,
# alone and with the Settings and About dialogs over it, into docs/screenshots/*.png (the
# README shows them). The library goes where the program looks first: the prefix's
# Documents\Mirrorvault, which is $HOME/Mirrorvault of the bench.
#   tools/screenshots.sh [BUILD_DIR]     default: build/win64 (cmake --preset win64 &&
#                                        cmake --build --preset win64 --target mv_screenshot_driver)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build/win64}"
driver="$build/tools/screenshots/mv_screenshot_driver.exe"
out="$root/docs/screenshots"
if [[ ! -f "$driver" ]]; then
  echo "screenshots: $driver is missing; build the target mv_screenshot_driver first" >&2
  exit 1
fi
source "$root/tools/wine/env.sh"
mv_wine_setup "$driver"

sample="$HOME/Mirrorvault"
rm -rf "$sample"
mkdir -p "$sample"
trap 'rm -rf "$sample"' EXIT
python3 "$root/tools/screenshots/sample_library.py" "$sample"
mkdir -p "$out"

declare -A shot=([library]=main-window-library [folder]=main-window-folder [settings]=settings
  [about]=about)
for scene in library folder settings about; do
  rm -f "$sample/ready-$scene"
  mv_wine explorer /desktop=shot,1280x800 "$driver" "$scene" </dev/null >/dev/null 2>&1 &
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
  import -window root "$out/${shot[$scene]}.png"
  echo "$out/${shot[$scene]}.png"
  wait "$pid" || true
done
