// The main window's file list and the controls around it, as the snapshot browser
// (ui/snapshot_browser.h) sees them. ui/ implements these over the list view (control
// 1002), the location field (1005) and the menu bar; the cli and the tests keep them in memory
// (platform/memory/memory_file_list.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mv {

// Row state bits, with the list view's values: LVIS_FOCUSED (1) and LVIS_SELECTED (2). A row's
// state is always set with a mask that covers exactly these two bits.
inline constexpr std::uint32_t kRowFocused = 0x1;
inline constexpr std::uint32_t kRowSelected = 0x2;

// Images of the list's small image list that the window adds when it creates the list; file
// type icons follow them (FileListPort::AddTypeIcon).
inline constexpr int kFolderImage = 0;
inline constexpr int kShareImage = 1;

// The file list in report view: rows of four cells (columns in ui/file_list_rows.h).
// Row indexes count from 0 in the order on screen.
class FileListPort {
 public:
  virtual ~FileListPort() = default;

  virtual void DeleteAllRows() = 0;
  // Appends a row whose Name cell (column 0) is name; the other cells start empty. state is
  // a combination of kRowSelected and kRowFocused. Returns the new row's index.
  virtual int AppendRow(const std::string& name, int image, std::uint32_t state) = 0;
  virtual void SetCellText(int row, int column, const std::string& text) = 0;

  virtual int RowCount() = 0;
  // The whole text of a cell; empty for a row or column that does not exist.
  virtual std::string CellText(int row, int column) = 0;
  // kRowSelected / kRowFocused bits of the row; 0 for a row that does not exist.
  virtual std::uint32_t RowState(int row) = 0;
  // Selects and focuses exactly this row (none with -1), as a click would, and scrolls it
  // into view.
  virtual void SelectOnly(int row) = 0;

  // Puts the rows into a new order: order[i] is the current index of the row that becomes
  // row i (a permutation of 0 .. RowCount() - 1). Each row keeps its cells, image and state.
  // Over a list view: set each row's item data to its current index, then LVM_SORTITEMS with
  // a callback that compares the ranks of the two item data in the inverse permutation.
  virtual void ApplyRowOrder(const std::vector<int>& order) = 0;

  // Adds the small icon of the file type named by key (".txt"; "." for a file without
  // extension) to the list's image list and returns its image index, or -1 when no icon was
  // added. Called once per distinct key: the browser keeps the indexes (its type icon cache).
  virtual int AddTypeIcon(const std::string& key) = 0;
};

// The controls beside the file list that the browser writes to.
class BrowserControlsPort {
 public:
  virtual ~BrowserControlsPort() = default;
  // Sets the text of the location field.
  virtual void SetLocationText(const std::string& text) = 0;
  // Enables a command of the main window's menu bar (an IDM_* id from res/resource_ids.h).
  virtual void EnableCommand(int commandId) = 0;
};

}  // namespace mv
