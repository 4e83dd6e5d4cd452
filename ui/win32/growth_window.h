// The Growth window: how a computer (or one of its folders) grew over its captures. A chart of
// the total size and the file count at every capture, by date, and the folders that grew the
// most between two captures chosen below it (the last two at first). The captures' totals
// come from the totals cache beside the snapshots; the snapshots are read and compared on a
// thread of the window's own. Left and Right move the chart's cursor from capture to capture,
// and the status line says that capture's totals.
#pragma once

#include <windows.h>

#include <string>

namespace mv {

struct GrowthSetup {
  std::string snapshotsDirectory;  // UTF-8
  std::string group, computer;     // as the snapshot files name them
  // A share-relative folder ("Docs\Sub", UTF-8); empty: the whole computer.
  std::string folder;
};

// Opens a Growth window owned by owner. Null when the window cannot be made.
HWND OpenGrowthWindow(HWND owner, GrowthSetup setup);

// Sent to the window by its worker when the totals or a growth list are ready.
inline constexpr UINT kGrowthReadyMessage = WM_APP + 42;

}  // namespace mv
