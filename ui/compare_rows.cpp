// The rows of the Compare window: see compare_rows.h.
#include "ui/compare_rows.h"

#include <algorithm>
#include <charconv>

#include "query/snapshot_scan.h"
#include "ui/file_list_rows.h"

namespace mv {
namespace {

inline constexpr std::string_view kDirectoryCell = "<DIR>";
inline constexpr std::string_view kShareCell = "<SHARE>";

bool IsOldKind(DiffKind kind) {
  return kind == DiffKind::kRemoved || kind == DiffKind::kShareRemoved;
}

bool Kept(const CompareFilter& filter, DiffKind kind) {
  switch (kind) {
    case DiffKind::kShareAdded:
    case DiffKind::kAdded:
      return filter.added;
    case DiffKind::kShareRemoved:
    case DiffKind::kRemoved:
      return filter.removed;
    case DiffKind::kChanged:
      return filter.changed;
  }
  return false;
}

std::string_view KindText(DiffKind kind) {
  switch (kind) {
    case DiffKind::kShareAdded:
      return "Share added";
    case DiffKind::kAdded:
      return "Added";
    case DiffKind::kShareRemoved:
      return "Share removed";
    case DiffKind::kRemoved:
      return "Removed";
    case DiffKind::kChanged:
      return "Changed";
  }
  return {};
}

// Sorted by kind: added, removed, changed, each share's row before the entries.
int KindRank(DiffKind kind) {
  switch (kind) {
    case DiffKind::kShareAdded:
      return 0;
    case DiffKind::kAdded:
      return 1;
    case DiffKind::kShareRemoved:
      return 2;
    case DiffKind::kRemoved:
      return 3;
    case DiffKind::kChanged:
      return 4;
  }
  return 5;
}

std::string_view SizeOf(const DiffRow& row, std::string_view size) {
  if (row.path.empty()) return kShareCell;
  return row.isDirectory ? kDirectoryCell : size;
}

// The number a Size sort reads: shares, then directories, then files by size; a size that
// is no number counts as 0.
std::int64_t SizeKey(const DiffRow& row) {
  if (row.path.empty()) return -2;
  if (row.isDirectory) return -1;
  const std::string_view text = IsOldKind(row.kind) ? row.oldSize : row.newSize;
  std::uint64_t size = 0;
  std::from_chars(text.data(), text.data() + text.size(), size);
  return static_cast<std::int64_t>(std::min<std::uint64_t>(size, INT64_MAX));
}

std::int64_t SortKey(const DiffRow& row, int column) {
  switch (column) {
    case kCompareChange:
      return KindRank(row.kind);
    case kCompareSize:
      return SizeKey(row);
    case kCompareCreated:
      return DateSortKey(IsOldKind(row.kind) ? row.oldCreated : row.newCreated);
    default:
      return 0;  // the path: the comparison's own order
  }
}

}  // namespace

ComparisonRows::ComparisonRows(const SnapshotComparison& comparison) : comparison_(comparison) {
  Filter(filter_);
}

void ComparisonRows::Filter(const CompareFilter& filter) {
  filter_ = filter;
  shown_.clear();
  for (std::size_t i = 0; i < comparison_.rows.size(); ++i) {
    if (Kept(filter_, comparison_.rows[i].kind)) shown_.push_back(i);
  }
  Sort();
}

void ComparisonRows::SortBy(int column) {
  descending_ = column == column_ && !descending_;
  column_ = column;
  Sort();
}

void ComparisonRows::Sort() {
  // The comparison's order first, so that rows of equal keys keep it either way round.
  std::sort(shown_.begin(), shown_.end());
  if (column_ == kComparePath) {
    if (descending_) std::reverse(shown_.begin(), shown_.end());
    return;
  }
  std::vector<std::int64_t> keys(comparison_.rows.size());
  for (const std::size_t i : shown_) keys[i] = SortKey(comparison_.rows[i], column_);
  std::stable_sort(shown_.begin(), shown_.end(), [&](std::size_t a, std::size_t b) {
    return descending_ ? keys[b] < keys[a] : keys[a] < keys[b];
  });
}

bool ComparisonRows::RowIsOld(std::size_t index) const {
  return IsOldKind(Row(index).kind);
}

NameEncoding ComparisonRows::RowEncoding(std::size_t index) const {
  return RowIsOld(index) ? comparison_.oldEncoding : comparison_.newEncoding;
}

std::string ComparisonRows::CellText(std::size_t index, int column) const {
  const DiffRow& row = Row(index);
  const bool old = RowIsOld(index);
  std::string text;
  switch (column) {
    case kCompareChange:
      text = KindText(row.kind);
      break;
    case kComparePath:
      AppendLivePath(text, old ? comparison_.oldComputer : comparison_.newComputer, row.share,
                     row.path);
      break;
    case kCompareSize:
      if (row.kind == DiffKind::kChanged) {
        text.append(SizeOf(row, row.oldSize)).append(" -> ").append(SizeOf(row, row.newSize));
      } else {
        text = SizeOf(row, old ? row.oldSize : row.newSize);
      }
      break;
    case kCompareCreated:
      if (row.kind == DiffKind::kChanged) {
        text.append(row.oldCreated).append(" -> ").append(row.newCreated);
      } else if (!row.path.empty()) {
        text = old ? row.oldCreated : row.newCreated;
      }
      break;
    default:
      break;
  }
  return text;
}

std::string CompareSummaryText(const DiffSummary& s, std::size_t rowsKept,
                               std::uint64_t rowsLeftOut) {
  std::string listed;
  if (rowsLeftOut > 0) {
    listed = "; the first " + std::to_string(rowsKept) + " of " +
             std::to_string(rowsKept + rowsLeftOut) +
             " differences are listed (mirrorvault-cli diff lists every one)";
  }
  return "Added " + std::to_string(s.added) + ", removed " + std::to_string(s.removed) +
         ", changed " + std::to_string(s.changed) + "; shares added " +
         std::to_string(s.sharesAdded) + ", removed " + std::to_string(s.sharesRemoved) +
         "; bytes added " + std::to_string(s.bytesAdded) + ", removed " +
         std::to_string(s.bytesRemoved) + listed;
}

}  // namespace mv
