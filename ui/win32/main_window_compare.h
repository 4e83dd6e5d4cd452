// The main window's Compare..., Export..., Show Space... and Show Growth... commands, for the
// snapshot selected in its tree.
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
// Opens a Space window for the folder shown in the file list, or for the folder row selected
// there when the list has the focus (its context menu); showEntry as for Compare. Without a
// snapshot shown, says so.
void ShowSpaceOfWindow(HWND window, std::function<bool(const CompareEntry&)> showEntry);
// Opens a Growth window for the shown snapshot's computer, or for the folder shown in the file
// list when it is not the share list. Without a snapshot shown, says so.
void ShowGrowthOfWindow(HWND window);

}  // namespace mv
