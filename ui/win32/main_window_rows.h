// The main window's row actions and the dialogs about the loaded snapshot: double click,
// Enter, Open, Explore, Properties..., Copy Path, Search... and the Snapshot Properties.
#pragma once

#include <windows.h>

#include "platform/shell_port.h"

namespace mv {

// The shell the window was set up with, or one that does nothing when it has none.
ShellPort& ShellOfWindow();

// NM_DBLCLK from the file list.
void ActivateRowOfWindow();
// Commands 40025 "Open", 40011 "Explore" and 40012 "Properties..." of the File menu.
void OpenRowsOfWindow();
void ExploreRowsOfWindow();
void ShowRowPropertiesOfWindow();
// Command 1, the Enter key: by the control that has the focus.
void DispatchEnterKey(HWND window);
// Command 40037.
void CopyPathOfWindow(HWND window);
// Command 40039: asks for a name, then searches for it.
void SearchFilesOfWindow(HWND window);
// Command 40008.
void ShowSnapshotPropertiesOfWindow(HWND window);

}  // namespace mv
