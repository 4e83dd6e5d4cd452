// The in-memory file list: rows in a vector, reordered as the browser's sort asks.
#include "platform/memory/memory_file_list.h"

#include <cstddef>
#include <utility>

namespace mv {

int MemoryFileList::AppendRow(const std::string& name, int image, std::uint32_t state) {
  Row row;
  row.cells[0] = name;
  row.image = image;
  row.state = state & (kRowSelected | kRowFocused);
  rows_.push_back(std::move(row));
  return static_cast<int>(rows_.size()) - 1;
}

void MemoryFileList::SetCellText(int row, int column, const std::string& text) {
  if (Valid(row) && column >= 0 && column < kColumnCount) rows_[row].cells[column] = text;
}

std::string MemoryFileList::CellText(int row, int column) {
  if (!Valid(row) || column < 0 || column >= kColumnCount) return {};
  return rows_[row].cells[column];
}

std::uint32_t MemoryFileList::RowState(int row) {
  return Valid(row) ? rows_[row].state : 0;
}

void MemoryFileList::ApplyRowOrder(const std::vector<int>& order) {
  if (order.size() != rows_.size()) return;
  std::vector<bool> taken(rows_.size(), false);
  for (const int from : order) {
    if (!Valid(from) || taken[static_cast<std::size_t>(from)]) return;  // not a permutation
    taken[static_cast<std::size_t>(from)] = true;
  }
  std::vector<Row> reordered;
  reordered.reserve(rows_.size());
  for (const int from : order) reordered.push_back(std::move(rows_[from]));
  rows_ = std::move(reordered);
}

int MemoryFileList::AddTypeIcon(const std::string& key) {
  iconKeys_.push_back(key);
  return kShareImage + static_cast<int>(iconKeys_.size());
}

std::vector<std::string> MemoryFileList::Names() const {
  std::vector<std::string> names;
  names.reserve(rows_.size());
  for (const Row& row : rows_) names.push_back(row.cells[0]);
  return names;
}

void MemoryFileList::SelectOnly(int row) {
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    rows_[i].state = static_cast<int>(i) == row ? (kRowSelected | kRowFocused) : 0;
  }
}

void MemoryFileList::SetState(int row, std::uint32_t state) {
  if (Valid(row)) rows_[static_cast<std::size_t>(row)].state = state & (kRowSelected | kRowFocused);
}

}  // namespace mv
