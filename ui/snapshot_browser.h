// The snapshot browser: the loaded snapshot, the location shown in the file list and the
// list's sort state, kept together in one object that the main window owns for its life.
//
// How the main window uses it (everything on the thread that owns the window):
//   - Create it once when the window is created, over the window's ports. The constructor
//     clears the listed and navigation paths and the type icon cache and sets the sort table
//     to Name, Type, Size, Date ascending with Name as the last sort column.
//   - A snapshot chosen in the snapshot tree:
//         if (!browser.LoadSnapshot(path)) {
//           show "Could not open '%s'.\nThe file is corrupted." (browser.lastLoadResult() says
//           why); leave the list, the location field and the detail text as they are;
//         } else {
//           browser.ClearNavigationPath();
//           browser.SetSnapshotComputer(browser.info().computer);
//           keep browser.info().created as the snapshot created text; show its detail text;
//           browser.OpenLocation("");
//         }
//   - Double click / Enter on a share or directory row: OpenLocation(displayName of the row's
//     Name text taken whole by ParseBareName): "..", "" or a child's name, whatever it is.
//   - A typed location: SetNavigationPath(path), then FillFileList(path, "") and, when it
//     returns 0, show the message and SetNavigationPath(listedPath()).
//   - LVN_COLUMNCLICK: ClickColumn(column). LVN_ITEMCHANGED: ShowRowDetails(row, created text).
//   - The Snapshot Properties dialog reads info() and shareCount() (ui/snapshot_properties.h
//     formats its texts).
// A LoadSnapshot invalidates every line index and parsed entry taken before it.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <utility>

#include "core/loaded_snapshot.h"
#include "core/parsed_entry.h"
#include "platform/file_list_port.h"
#include "platform/file_system.h"
#include "platform/view_ports.h"
#include "res/resource_ids.h"
#include "ui/file_list_rows.h"
#include "ui/type_icon_cache.h"

namespace mv {

// Steps of OpenLocation besides a child's name.
inline constexpr std::string_view kShareListStep = "";
inline constexpr std::string_view kUpStep = "..";

// The commands that need a loaded snapshot; enabled once a snapshot file has been opened.
inline constexpr std::array<int, 4> kSnapshotCommands = {IDM_SNAPSHOT_PROPERTIES, IDM_OPEN,
                                                         IDM_EXPLORE, IDM_FILE_PROPERTIES};

// "Could not open '<path>'.\nThe file could not be read.": a listing or a search whose read of
// the loaded snapshot file failed.
std::string UnreadableSnapshotText(std::string_view path);

// "Could not locate '<what>' path.": a step or a typed location that is not in the snapshot.
std::string CouldNotLocateText(std::string_view what);

class SnapshotBrowser {
 public:
  SnapshotBrowser(FileSystem& files, FileListPort& list, BrowserControlsPort& controls,
                  NoticePort& notices);

  // Reads the snapshot file at path. Returns 1 when it was accepted (it is then the loaded
  // snapshot), 0 when not. A file that cannot be read changes nothing; a file that is read
  // but refused leaves an empty snapshot (no shares, so every location is "not found").
  // Either way once a file was read the four snapshot commands are enabled. The list and the
  // location field are not touched: the caller opens the share list (see above).
  int LoadSnapshot(const std::string& path);
  LoadResult lastLoadResult() const { return lastLoadResult_; }
  // The encoding of the rows shown and the names taken from them: the last accepted
  // snapshot's. A refused file, whose header may declare another, leaves it as it was.
  NameEncoding listEncoding() const { return listEncoding_; }

  // Fills the list with the location's rows: the share list for "", else the rows of the
  // share or directory path ("Docs\" or "Docs\Sub\", trailing backslash optional), led by
  // "..". The row whose name equals select (ignoring case) is selected (and focused, for a
  // directory); with select empty the ".." row is selected. Sorts by the last sort column.
  // Returns 1, or 0 when the location is not in the snapshot (the list is then untouched).
  // The listing reads the location's block from the file again: when that read fails, this
  // shows UnreadableSnapshotText and returns 0 (readFailed()).
  int FillFileList(std::string_view path, std::string_view select);
  // Whether the last fill or search found the file unreadable.
  bool readFailed() const { return snapshot_.readFailed(); }
  // Shows UnreadableSnapshotText for the loaded file, as UTF-8 text (ShowUtf8Message).
  void ReportUnreadable();

  // One step: "" (the share list; clears the navigation path), ".." (up, selecting the
  // directory left) or a child's name (down; "--" too, like any other name). A step that
  // fails shows "Could not locate '<step>' path." (or, for a file that cannot be read,
  // UnreadableSnapshotText) and goes back to the listed path. Every
  // step ends by setting the location field to \\computer\path.
  void OpenLocation(std::string_view step);
  // Nothing moves: only the location field is set to \\computer\path again.
  void RewriteLocation() { controls_.SetLocationText(LocationText()); }

  // A click on column header `column` (0..3): toggles that column between ascending and
  // descending, makes it the last sort column and sorts.
  void ClickColumn(int column);
  // Sorts the rows by a sort value (2 * column, + 1 for descending). The detail part then
  // reads "Snapshot Created: <created text of the last snapshot accepted>".
  void SortFileList(int sortValue);
  // Sets a column's direction and sorts by it, as clicks would have (for the cli).
  void SortByColumn(int column, bool descending);

  // Detail part of the status bar (part 1) after a change of row `row` (-1 for none).
  void ShowRowDetails(int row, std::string_view snapshotCreatedText);

  // The image index for a file row with this extension (type icon cache).
  int GetTypeIconIndex(std::string_view extension);

  // The lines of a listed location, as FillFileList finds them.
  bool FindListing(std::string_view path, PathLocation& location) {
    return snapshot_.FindPathRange(path, location);
  }

  const SnapshotInfo& info() const { return snapshot_.info(); }
  int shareCount() const { return snapshot_.shareCount(); }
  const LoadedSnapshot& snapshot() const { return snapshot_; }

  // Location state. The navigation path is "" or components each followed by a backslash;
  // it equals the listed path after every completed step.
  const std::string& listedPath() const { return listedPath_; }
  const std::string& navigationPath() const { return navigationPath_; }
  void SetNavigationPath(std::string path) { navigationPath_ = std::move(path); }
  void ClearNavigationPath() { navigationPath_.clear(); }
  const std::string& snapshotComputer() const { return snapshotComputer_; }
  void SetSnapshotComputer(std::string computer) { snapshotComputer_ = std::move(computer); }
  // The location field's text for the navigation path: \\computer\path.
  std::string LocationText() const;

  const std::array<int, kFileListColumnCount>& sortTable() const { return sortTable_; }
  int lastSortColumn() const { return lastSortColumn_; }

 private:
  void AppendEntryRow(const ParsedEntry& entry, std::string_view select);

  FileSystem& files_;
  FileListPort& list_;
  BrowserControlsPort& controls_;
  NoticePort& notices_;

  LoadedSnapshot snapshot_;
  std::string block_;  // the bytes of the block listed last
  LoadResult lastLoadResult_ = LoadResult::kCannotOpen;
  std::string listedPath_;
  std::string navigationPath_;
  std::string snapshotComputer_;
  std::string snapshotCreated_;  // created text of the last snapshot accepted
  NameEncoding listEncoding_ = NameEncoding::kAnsi;
  std::array<int, kFileListColumnCount> sortTable_{};
  int lastSortColumn_ = kNameColumn;
  TypeIconCache typeIcons_;
};

}  // namespace mv
