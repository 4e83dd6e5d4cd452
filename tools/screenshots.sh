#!/usr/bin/env bash
# Renders the main window with a sample snapshot library under Wine, window frames included,
# alone and with its dialogs over it, and the Take Snapshots dialog on the sample network
# (during its scan and when idle, from the demo's road), into docs/screenshots/*.png (the
# README and the help pages show them). Each picture is cut to the program's windows.
#   tools/screenshots.sh [BUILD_DIR [SCENE...]]
#     BUILD_DIR default: build/win64 (cmake --preset win64 && cmake --build --preset win64
#                        --target mv_screenshot_driver Mirrorvault mv_sample_network
#                        mv_demo_driver)
#     SCENE default: all of library folder names properties search settings about find compare
#                    export space schedules growth
# The pictures come from a prefix of their own (BUILD_DIR/screenshots-wine) whose user is
# named like a person, not like the bench, and whose snapshots folder is the program's
# default, Documents\Mirrorvault: the paths they show are the ones a user sees.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "${1:-$root/build/win64}" && pwd)"
scenes=("${@:2}")
[[ ${#scenes[@]} -gt 0 ]] ||
  scenes=(library folder names properties search settings about find compare export space schedules
    growth)
driver="$build/tools/screenshots/mv_screenshot_driver.exe"
out="$root/docs/screenshots"
if [[ ! -f "$driver" ]]; then
  echo "screenshots: $driver is missing; build the target mv_screenshot_driver first" >&2
  exit 1
fi
export MV_WINE_STATE="$build/screenshots-wine"
export USER=anna LOGNAME=anna
unset DISPLAY
source "$root/tools/wine/env.sh"
source "$root/tools/screenshots/crop.sh"
mv_wine_setup "$driver"
# Names in Chinese and Japanese (the names scene alone): the CJK faces the dialog font falls
# back to stand for a font that fontconfig knows (fonts-wqy-zenhei); added for that scene only.
# With that font installed, Wine draws the Latin texts of every scene in it as well.
cjk_faces() {
  local face
  for face in SimSun "MS UI Gothic" PMingLiU Gulim; do
    if [[ "$1" == add ]]; then
      mv_wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ \
        /d 'WenQuanYi Zen Hei' /f </dev/null >/dev/null 2>&1
    else
      mv_wine reg delete 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /f \
        </dev/null >/dev/null 2>&1 || true
    fi
  done
}

# The sample library in the Documents folder (the scratch HOME) and nothing else: no
# config.ini, so the settings are the defaults.
library="$HOME/Mirrorvault"
mkdir -p "$out"
requests="$(mktemp -d "$MV_WINE_STATE/requests.XXXXXX")"
trap 'rm -rf "$requests"' EXIT

windows_path() { echo "Z:${1//\//\\}"; }

for scene in "${scenes[@]}"; do
  # The names scene alone has a newer capture in the UTF-8 form, with names in other scripts.
  rm -rf "$library"
  mkdir -p "$library"
  python3 "$root/tools/screenshots/sample_library.py" "$library" \
    $([[ "$scene" == names ]] && echo --names) $([[ "$scene" == growth ]] && echo --growth)
  cjk_faces "$([[ "$scene" == names ]] && echo add || echo delete)"
  area="$requests/$scene"
  # From the Documents folder, where the save dialog of Export... opens.
  (cd "$HOME" && mv_wine explorer /desktop=shot,1280x800 "$driver" "$scene" \
    "$(windows_path "$area")" </dev/null >/dev/null 2>&1) &
  pid=$!
  for _ in $(seq 600); do
    [[ -f "$area" ]] && break
    sleep 0.1
  done
  if [[ ! -f "$area" ]]; then
    echo "screenshots: the scene '$scene' did not come up" >&2
    kill "$pid" 2>/dev/null || true
    exit 1
  fi
  sleep 1
  case "$scene" in
    find) picture="$out/find-window.png" ;;
    compare) picture="$out/compare-window.png" ;;
    space) picture="$out/space-window.png" ;;
    schedules) picture="$out/schedules-window.png" ;;
    growth) picture="$out/growth-window.png" ;;
    export) picture="$out/export-dialog.png" ;;
    *) picture="$out/main-window-$scene.png" ;;
  esac
  mv_screenshot "$(cat "$area")" "$picture"
  echo "$picture"
  wait "$pid" || true
done

# The dialog, as the demo's road meets it, in the same prefix (the road empties the
# snapshots folder first).
road="$build/screenshots-road"
bash "$root/tools/demo/road.sh" "$build" "$road" >/dev/null
for scene in scanning idle; do
  cp "$road/0"[23]"-take-snapshots-$scene.png" "$out/take-snapshots-$scene.png"
  echo "$out/take-snapshots-$scene.png"
done
