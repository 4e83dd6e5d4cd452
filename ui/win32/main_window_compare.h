// The main window's Compare... and Export... commands, for the snapshot selected in its tree.
#pragma once

#include <windows.h>

#include <functional>

#include "ui/win32/compare_window.h"

namespace mv {

// Opens a Compare window for the selected snapshot; a double-click on one of its rows calls
// openEntry. Without a snapshot selected, says so.
void CompareSelectedSnapshot(HWND window, std::function<bool(const CompareEntry&)> openEntry);
// Asks where to export the selected snapshot and exports it.
void ExportSelectedSnapshot(HWND window);

}  // namespace mv
