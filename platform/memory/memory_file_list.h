// The file list and its neighbouring controls kept in memory: mirrorvault-cli prints the rows
// from it, and the tests and the fuzzer read back what the browser put on screen.
#pragma once

#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "platform/file_list_port.h"

namespace mv {

class MemoryFileList final : public FileListPort {
 public:
  static constexpr int kColumnCount = 4;

  struct Row {
    std::array<std::string, kColumnCount> cells;
    int image = 0;
    std::uint32_t state = 0;
  };

  void DeleteAllRows() override { rows_.clear(); }
  int AppendRow(const std::string& name, int image, std::uint32_t state) override;
  void SetCellText(int row, int column, const std::string& text) override;
  int RowCount() override { return static_cast<int>(rows_.size()); }
  std::string CellText(int row, int column) override;
  std::uint32_t RowState(int row) override;
  void SelectOnly(int row) override;
  void ApplyRowOrder(const std::vector<int>& order) override;
  int AddTypeIcon(const std::string& key) override;

  const std::vector<Row>& rows() const { return rows_; }
  // The type icon keys in the order they were asked for; image index = kShareImage + 1 + i.
  const std::vector<std::string>& iconKeys() const { return iconKeys_; }
  // Column 0 of every row, in order on screen.
  std::vector<std::string> Names() const;
  // Sets a row's state bits, as clicks with Ctrl would.
  void SetState(int row, std::uint32_t state);

 private:
  bool Valid(int row) const { return row >= 0 && row < static_cast<int>(rows_.size()); }

  std::vector<Row> rows_;
  std::vector<std::string> iconKeys_;
};

class MemoryBrowserControls final : public BrowserControlsPort {
 public:
  void SetLocationText(const std::string& text) override { location_ = text; }
  void EnableCommand(int commandId) override { enabled_.insert(commandId); }

  const std::string& location() const { return location_; }
  bool IsEnabled(int commandId) const { return enabled_.count(commandId) != 0; }

 private:
  std::string location_;
  std::set<int> enabled_;
};

}  // namespace mv
