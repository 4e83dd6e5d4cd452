# Screenshots cut to the program's windows; sourced by tools/screenshots.sh and
# tools/demo/road.sh, after tools/wine/env.sh has set DISPLAY.
#   mv_screenshot "LEFT TOP RIGHT BOTTOM" FILE
#     the screen, cut to that rectangle (as the drivers write it, tools/screenshots/
#     screen_area.h), framed by a few pixels of the desktop's colour

# The same frame around every picture, a dialog cut from over the main window included, so
# that the window's edges read as a window's. No dates in the files (-strip): a scene that
# looks the same gives the same bytes, and git sees no change.
mv_screenshot_margin=6
mv_screenshot_desktop='rgb(37,111,149)'  # Wine's desktop

mv_screenshot() {
  local left top right bottom
  read -r left top right bottom <<<"$1"
  if [[ -z "$bottom" ]] || ((right <= left || bottom <= top)); then
    echo "screenshot: no window to show for $2" >&2
    return 1
  fi
  import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage png:- |
    convert png:- -bordercolor "$mv_screenshot_desktop" -border "$mv_screenshot_margin" -strip "$2"
}
