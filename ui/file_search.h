// Finding a name in the loaded snapshot: files and directories of every share, in file order
// from the row after the current one, each match shown in its directory with its row
// selected. Repeated searches for the same name walk on from match to match.
#pragma once

#include <string>
#include <string_view>

#include "platform/file_list_port.h"
#include "platform/view_ports.h"
#include "query/name_pattern.h"
#include "ui/snapshot_browser.h"

namespace mv {

// Among lines first..last of the snapshot, the first entry line (kind f or d) whose name (the
// last component of its path) matches; -1 for none.
int FindMatchingLine(const LoadedSnapshot& snapshot, const NamePattern& pattern, int first,
                     int last);

// The line that the list's current row stands for (ui/row_actions.h FindCurrentRow): an
// entry's own line, a share's header line; the line before the listing's first line for the
// ".." row or no row; -1 at the share list without a current row.
int LineOfCurrentRow(SnapshotBrowser& browser, FileListPort& list);

// Lists folder (a share and its directories, as FillFileList takes it) and selects, focuses
// and scrolls to the row of its entry named name (the whole name; its exact spelling first,
// else ignoring case). With folder empty, lists the shares and selects the share named name.
// False when the folder is not in the snapshot (nothing changes) or holds no such entry (the
// folder stays listed, the ".." row selected).
bool ShowEntryInFolder(SnapshotBrowser& browser, FileListPort& list, std::string_view folder,
                       std::string_view name);

class FileSearch {
 public:
  // Searches for name after the current row. A match becomes the listing shown, its row
  // selected, focused and scrolled into view. A search run goes to the end of the snapshot,
  // wraps once to the start and ends at the row where it began, then says that nothing more
  // was found; the next search starts a new run. A new name, another current row than the
  // last match, or another snapshot also start a new run. Returns true for a match.
  bool Search(SnapshotBrowser& browser, FileListPort& list, NoticePort& notices,
              std::string_view name);

  // The name last searched for, which the dialog offers again.
  const std::string& lastName() const { return lastName_; }

 private:
  std::string lastName_;
  // The run: the snapshot it searches, the line it started after, whether it wrapped.
  std::string runSnapshot_;
  int runLineCount_ = 0;
  int runStart_ = -1;
  int lastMatch_ = -1;  // -1 while no run is going on
  bool wrapped_ = false;
  bool anyMatch_ = false;
};

}  // namespace mv
