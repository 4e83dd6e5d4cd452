// Finding a name in the loaded snapshot: files and directories of every share, in file order
// from the row after the current one, each match shown in its directory with its row
// selected. Repeated searches for the same name walk on from match to match.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_list_port.h"
#include "platform/view_ports.h"
#include "query/name_pattern.h"
#include "ui/snapshot_browser.h"

namespace mv {

// Among the lines of the snapshot that begin at offsets first..last, the first entry line
// (kind f or d) whose name (the last component of its path) matches: its offset, and its
// text in text when given; -1 for none and when the file cannot be read (readFailed()).
// The file is read again, piece by piece.
std::int64_t FindMatchingLine(const LoadedSnapshot& snapshot, const NamePattern& pattern,
                              std::int64_t first, std::int64_t last, std::string* text = nullptr);

// Where the line that the list's current row stands for begins (ui/row_actions.h
// FindCurrentRow): an entry's own line; for a share, an offset after its header line and
// before its first line, as for the ".." row or no row (before the listing's first line);
// -1 at the share list without a current row. Searches go on from after it.
std::int64_t LineOfCurrentRow(SnapshotBrowser& browser, FileListPort& list);

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
  std::int64_t runSize_ = 0;
  std::int64_t runStart_ = -1;   // offsets of lines (see LineOfCurrentRow)
  std::int64_t lastMatch_ = -1;  // -1 while no run is going on
  bool wrapped_ = false;
  bool anyMatch_ = false;
};

}  // namespace mv
