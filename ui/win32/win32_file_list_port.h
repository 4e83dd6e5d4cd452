// The file list port over the main window's list view (control 1002), and the browser's
// controls port over the location field (1005) and the menu bar.
//
// The list view is virtual (LVS_OWNERDATA): the port keeps every row's texts and image, and
// the control asks for the rows it shows (LVN_GETDISPINFO, which the main window hands to
// FillDisplayInfo). The control keeps only the row count and which rows are selected and
// focused. So a folder of any size fills in the time it takes to read its lines: nothing is
// drawn, measured or notified per row.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/snapshot_format.h"
#include "platform/file_list_port.h"
#include "ui/file_list_rows.h"

namespace mv {

class Win32FileListPort final : public FileListPort {
 public:
  // images is the list's small image list, where file type icons are appended.
  Win32FileListPort(HWND list, HIMAGELIST images) : list_(list), images_(images) {}

  void DeleteAllRows() override;
  int AppendRow(const std::string& name, int image, std::uint32_t state) override;
  void SetCellText(int row, int column, const std::string& text) override;
  int RowCount() override;
  std::string CellText(int row, int column) override;
  std::uint32_t RowState(int row) override;
  void SelectOnly(int row) override;
  void ApplyRowOrder(const std::vector<int>& order) override;
  int AddTypeIcon(const std::string& key) override;

  // The encoding of the loaded snapshot, which the rows' texts are in; the control shows
  // them in UTF-16.
  void SetTextEncoding(NameEncoding encoding) { encoding_ = encoding; }

  // LVN_GETDISPINFOA and W: the text and image the control asks for, cut to its room.
  void FillDisplayInfo(NMLVDISPINFOA& info) const;
  void FillDisplayInfo(NMLVDISPINFOW& info) const;
  // LVN_ODFINDITEMA and W (typing in the list): the row whose Name is the text sought, or
  // begins with it for LVFI_PARTIAL (case ignored), searched from iStart on and, with
  // LVFI_WRAP, round from the top; -1 when none.
  int FindRow(const NMLVFINDITEMA& find) const;
  int FindRow(const NMLVFINDITEMW& find) const;

 private:
  struct Row {
    std::array<std::string, kFileListColumnCount> cells;
    int image = 0;
  };

  // Tells the control the rows appended since it last heard of them, with the states they
  // were appended with. Everything that reads or sets the control's row states first does.
  void ShowAppendedRows();
  int FindRowNamed(std::string_view sought, UINT flags, int start) const;
  int Rows() const { return static_cast<int>(rows_.size()); }

  HWND list_;
  HIMAGELIST images_;
  NameEncoding encoding_ = NameEncoding::kAnsi;
  std::vector<Row> rows_;
  int rowsShown_ = 0;  // rows the control knows of
  std::vector<std::pair<int, std::uint32_t>> appendedStates_;
};

class Win32BrowserControls final : public BrowserControlsPort {
 public:
  explicit Win32BrowserControls(HWND mainWindow) : window_(mainWindow) {}

  // The location text is in the loaded snapshot's encoding.
  void SetTextEncoding(NameEncoding encoding) { encoding_ = encoding; }
  void SetLocationText(const std::string& text) override;
  void EnableCommand(int commandId) override;

 private:
  HWND window_;
  NameEncoding encoding_ = NameEncoding::kAnsi;
};

}  // namespace mv
