// Context menus of the trees and the file list: shown where the cursor is, the choice
// arriving at the owner as an ordinary WM_COMMAND.
#pragma once

#include <windows.h>

namespace mv {

// Shows menu at the cursor, owned by owner, and returns when it has closed. A right click
// does not move any selection: the command acts on what was selected before.
void ShowContextMenu(HWND owner, HMENU menu);

}  // namespace mv
