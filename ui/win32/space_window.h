// The Space window: where the space of a folder of a snapshot went. A squarified treemap of
// everything below the folder (one rectangle per file and folder down to a pixel, coloured
// by type, cushion-shaded) beside the folder's items sorted by total, each with a bar and
// its share. Click or Enter opens a folder, Backspace goes up, the context menu shows an
// item in the main window. The snapshot is read, and the map drawn, on a thread of its own.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "ui/win32/compare_window.h"

namespace mv {

struct SpaceSetup {
  std::string snapshotPath;  // UTF-8
  // The folder shown first: share-relative ("Docs", "Docs\Sub") in the snapshot's own
  // encoding; empty for the snapshot's shares.
  std::string location;
  // Opens an item's folder in the main window with its row selected.
  std::function<bool(const CompareEntry&)> showEntry;
  // Opens the Growth window of a folder ("Docs\Sub", UTF-8) over the computer's captures.
  std::function<void(const std::string& folder)> showGrowth;
};

// Opens a Space window owned by owner. Null when the window cannot be made.
HWND OpenSpaceWindow(HWND owner, SpaceSetup setup);

// Sent to the window by its worker when the snapshot was read or a map was drawn; tests
// wait for the status line to change after it.
inline constexpr UINT kSpaceReadyMessage = WM_APP + 41;

}  // namespace mv
