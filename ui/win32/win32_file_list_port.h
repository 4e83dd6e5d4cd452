// The file list port over the main window's list view (control 1002), and the browser's
// controls port over the location field (1005) and the menu bar.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "platform/file_list_port.h"

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

 private:
  HWND list_;
  HIMAGELIST images_;
};

class Win32BrowserControls final : public BrowserControlsPort {
 public:
  explicit Win32BrowserControls(HWND mainWindow) : window_(mainWindow) {}

  void SetLocationText(const std::string& text) override;
  void EnableCommand(int commandId) override;

 private:
  HWND window_;
};

}  // namespace mv
