// The Find in All Snapshots window: a modeless, resizable window on the main thread that
// searches every snapshot of the snapshots folder for a name on a thread of its own and lists
// the hits as they come. A double click or Enter on a hit shows it in the main window.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace mv {

struct FindWindowSetup {
  FileSystem* fileSystem = nullptr;
  // The snapshots folder, read at each Find.
  std::function<std::string()> snapshotsDirectory;
  // Shows a hit: the snapshot file, the folder ("Docs\Sub") and the entry's whole name.
  std::function<bool(const std::string&, std::string_view, std::string_view)> openEntry;
};

// The main window's: the platform file system, its snapshots folder, OpenSnapshotAtEntry.
FindWindowSetup MainWindowFindSetup();

// Creates the window owned by owner, or brings the one open to the front; returns it.
HWND ShowFindWindow(HWND owner, FindWindowSetup setup);
// The open find window, or null.
HWND OpenFindWindow();

// Posted to the find window when the search has a batch ready.
inline constexpr UINT kFindBatchMessage = WM_APP + 27;

}  // namespace mv
