// The part of the screen a screenshot keeps, as the drivers hand it to the scripts that take
// it: the program's windows, each dialog and message box over the main window included.
#pragma once

#include <windows.h>

#include <string>

namespace mv::shots {

// Gives the main window the size it has in every picture (room for whole capture times in
// the tree and the four columns of the file list, small enough to read unscaled) and centres
// it on the drivers' 1280 x 800 desktop. Works on another process's window too.
void PlaceMainWindow(HWND window);

// The rectangle around every visible top-level window of process that has a caption (the
// main window, its dialogs and message boxes; not menus or tooltips). Empty when none shows.
RECT CaptionedWindowsOf(DWORD process);

// "LEFT TOP RIGHT BOTTOM" in screen pixels, the form tools/screenshots/crop.sh reads.
std::string AreaText(const RECT& area);

// Writes text to path under another name first, so that a script polling for path never
// reads it half-written. False when the file could not be written.
bool WriteWhole(const std::string& path, const std::string& text);

}  // namespace mv::shots
