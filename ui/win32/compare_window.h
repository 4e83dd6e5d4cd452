// The Compare window: what changed from one snapshot to another, as a sortable list of the
// entries added, removed and changed with a summary line. Modeless and resizable; the
// comparison runs on a thread of its own.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace mv {

// An entry of the list as the main window opens it: its folder in the snapshot where it
// exists. folder is share-relative ("" for the share's top), all text in the snapshot's own
// encoding; snapshotPath is UTF-8.
struct CompareEntry {
  std::string snapshotPath;
  std::string share;
  std::string folder;
  std::string name;  // the entry, to select; empty for a share row
};

struct CompareSetup {
  std::string snapshotsDirectory;  // UTF-8
  std::string snapshotPath;        // the selected snapshot, compared as the newer one
  std::function<bool(const CompareEntry&)> openEntry;  // a double-click on a row
};

// Opens a Compare window owned by owner for the selected snapshot, with the snapshot before
// it of the same computer chosen when there is one. Null when the window cannot be made.
HWND OpenCompareWindow(HWND owner, CompareSetup setup);

// Sent to the window (by its worker) when a comparison has ended; the summary line then
// holds its result. Tests wait for the summary to change.
inline constexpr UINT kCompareDoneMessage = WM_APP + 27;

}  // namespace mv
