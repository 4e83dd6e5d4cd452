// The rows of the Compare window, apart from its controls: which differences of a
// comparison the filter shows, in which order, the texts of their cells and of the summary
// line, and where in which snapshot each one lives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "query/snapshot_diff.h"

namespace mv {

// The window's columns, left to right.
enum CompareColumn : int { kCompareChange, kComparePath, kCompareSize, kCompareCreated };
inline constexpr int kCompareColumns = 4;

// Which kinds of difference are shown; a share added or removed as a whole counts with the
// entries added or removed.
struct CompareFilter {
  bool added = true;
  bool removed = true;
  bool changed = true;
};

class ComparisonRows {
 public:
  // Keeps a reference: comparison outlives these rows.
  explicit ComparisonRows(const SnapshotComparison& comparison);

  // Shows the rows the filter keeps, in the current order.
  void Filter(const CompareFilter& filter);
  // A click on a column header: sorts by it ascending, or turns the order round when it is
  // already the sorted column. Equal rows keep the comparison's order (share, then path).
  void SortBy(int column);
  int sortColumn() const { return column_; }
  bool descending() const { return descending_; }

  std::size_t size() const { return shown_.size(); }
  const DiffRow& Row(std::size_t index) const { return comparison_.rows[shown_[index]]; }
  // The text of a cell, in the encoding of the snapshot the row lives in (RowIsOld): the
  // change, the live path, the size ("<DIR>", "<SHARE>", "old -> new" when changed) and the
  // created date (the same).
  std::string CellText(std::size_t index, int column) const;
  // True when the row's entry lives only in the old snapshot (removed), so that its path,
  // computer and encoding are the old one's.
  bool RowIsOld(std::size_t index) const;
  NameEncoding RowEncoding(std::size_t index) const;

 private:
  void Sort();

  const SnapshotComparison& comparison_;
  CompareFilter filter_;
  int column_ = kComparePath;
  bool descending_ = false;
  std::vector<std::size_t> shown_;  // indexes into comparison_.rows
};

// "Added 2, removed 3, changed 1; shares added 0, removed 1; bytes added 1029, removed 45",
// and when the comparison kept only its first rows, how many are listed and where the rest are.
std::string CompareSummaryText(const DiffSummary& summary, std::size_t rowsKept = 0,
                               std::uint64_t rowsLeftOut = 0);

}  // namespace mv
