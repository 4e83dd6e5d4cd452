// The snapshot browser: loading, filling the file list for a location, moving one step at a
// time, sorting by column and the detail text of a row.
#include "ui/snapshot_browser.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "core/snapshot_format.h"
#include "core/text.h"

namespace mv {
namespace {

constexpr int kDetailStatusPart = 1;

bool IsIdentity(const std::vector<int>& order) {
  for (std::size_t i = 0; i < order.size(); ++i) {
    if (order[i] != static_cast<int>(i)) return false;
  }
  return true;
}

}  // namespace

std::string UnreadableSnapshotText(std::string_view path) {
  std::string text = "Could not open '";
  text += path;
  text += "'.\nThe file could not be read.";
  return text;
}

std::string CouldNotLocateText(std::string_view what) {
  std::string text = "Could not locate '";
  text += what;
  text += "' path.";
  return text;
}

SnapshotBrowser::SnapshotBrowser(FileSystem& files, FileListPort& list,
                                 BrowserControlsPort& controls, NoticePort& notices)
    : files_(files), list_(list), controls_(controls), notices_(notices) {
  for (int column = 0; column < kFileListColumnCount; ++column) {
    sortTable_[static_cast<std::size_t>(column)] = SortValue(column, false);
  }
}

int SnapshotBrowser::LoadSnapshot(const std::string& path) {
  lastLoadResult_ = snapshot_.Load(files_, path);
  if (lastLoadResult_ == LoadResult::kCannotOpen || lastLoadResult_ == LoadResult::kTooLarge) {
    return 0;
  }
  for (const int command : kSnapshotCommands) controls_.EnableCommand(command);
  if (lastLoadResult_ != LoadResult::kAccepted) return 0;
  snapshotCreated_ = snapshot_.info().created;
  listEncoding_ = snapshot_.info().encoding;
  return 1;
}

int SnapshotBrowser::FillFileList(std::string_view path, std::string_view select) {
  if (path.empty()) {
    listedPath_.clear();
    list_.DeleteAllRows();
    for (const std::string& share : snapshot_.shareNames()) {
      const std::uint32_t state = EqualsIgnoreCase(share, select) ? kRowSelected : 0;
      const int row = list_.AppendRow(share, kShareImage, state);
      list_.SetCellText(row, kTypeColumn, std::string(kShareTypeText));
    }
  } else {
    PathLocation location;
    if (!snapshot_.ReadPathRange(path, location, block_)) {
      if (snapshot_.readFailed()) ReportUnreadable();
      return 0;
    }
    list_.DeleteAllRows();
    listedPath_ = path;
    const int up =
        list_.AppendRow(std::string(kUpRowName), kFolderImage, select.empty() ? kRowSelected : 0);
    list_.SetCellText(up, kTypeColumn, std::string(kDirectoryTypeText));
    const auto offset = static_cast<std::size_t>(location.nameOffset);
    LineCutter cutter;
    auto append = [&](std::uint64_t, std::string_view line) {
      AppendEntryRow(ParseEntryLine(line.substr(std::min(offset, line.size()))), select);
      return true;
    };
    cutter.Feed(block_, append);
    cutter.Finish(append);
    // A large block's buffer is not kept for the next listing.
    if (block_.capacity() > kReadPieceBytes) std::string().swap(block_);
  }
  SortFileList(sortTable_[static_cast<std::size_t>(lastSortColumn_)]);
  return 1;
}

void SnapshotBrowser::ReportUnreadable() {
  // The path is the program's own, UTF-8, whatever encoding the snapshot's names are in.
  notices_.ShowUtf8Message(UnreadableSnapshotText(snapshot_.info().path), MessageKind::kError);
}

void SnapshotBrowser::AppendEntryRow(const ParsedEntry& entry, std::string_view select) {
  int row = 0;
  if (IsDirectoryType(entry.type)) {
    const std::uint32_t state =
        EqualsIgnoreCase(entry.displayName, select) ? (kRowSelected | kRowFocused) : 0;
    row = list_.AppendRow(entry.displayName, kFolderImage, state);
    list_.SetCellText(row, kTypeColumn, std::string(kDirectoryTypeText));
  } else if (IsFileType(entry.type)) {
    row = list_.AppendRow(entry.displayName, GetTypeIconIndex(entry.extension), 0);
    list_.SetCellText(row, kTypeColumn, entry.extension);
  } else {
    return;
  }
  list_.SetCellText(row, kSizeColumn, entry.sizeText);
  list_.SetCellText(row, kDateColumn, entry.dateText);
}

void SnapshotBrowser::OpenLocation(std::string_view step) {
  int filled = 1;
  if (step == kShareListStep) {
    // The share list is shown only with an empty navigation path, even when a row with an
    // empty name (a damaged line) is opened from deeper down.
    navigationPath_.clear();
    filled = FillFileList("", "");
  } else if (step == kUpStep) {
    if (navigationPath_.empty()) {
      filled = FillFileList("", "");
    } else {
      navigationPath_.pop_back();
      const std::size_t slash = navigationPath_.rfind(kPathSeparator);
      const std::size_t cut = slash == std::string::npos ? 0 : slash + 1;
      const std::string left = navigationPath_.substr(cut);
      navigationPath_.resize(cut);
      filled = FillFileList(navigationPath_, left);
    }
  } else {
    navigationPath_ += step;
    navigationPath_ += kPathSeparator;
    filled = FillFileList(navigationPath_, "");
  }
  if (filled == 0) {
    if (!snapshot_.readFailed())
      notices_.ShowMessage(CouldNotLocateText(step), MessageKind::kError);
    navigationPath_ = listedPath_;
  }
  RewriteLocation();
}

std::string SnapshotBrowser::LocationText() const {
  std::string text = "\\\\";
  text += snapshotComputer_;
  text += kPathSeparator;
  text += navigationPath_;
  return text;
}

void SnapshotBrowser::ClickColumn(int column) {
  if (column < 0 || column >= kFileListColumnCount) return;
  int& value = sortTable_[static_cast<std::size_t>(column)];
  value = value == SortValue(column, false) ? SortValue(column, true) : SortValue(column, false);
  lastSortColumn_ = column;
  SortFileList(value);
}

void SnapshotBrowser::SortByColumn(int column, bool descending) {
  if (column < 0 || column >= kFileListColumnCount) return;
  sortTable_[static_cast<std::size_t>(column)] = SortValue(column, descending);
  lastSortColumn_ = column;
  SortFileList(SortValue(column, descending));
}

void SnapshotBrowser::SortFileList(int sortValue) {
  const std::vector<int> order =
      SortedRowOrder(NumberListRows(list_, sortValue, listEncoding_), sortValue);
  if (!IsIdentity(order)) list_.ApplyRowOrder(order);
  // The rows changed under the detail part, whether or not their order did: it never keeps
  // the text of a row that is gone.
  notices_.SetStatusText(kDetailStatusPart, SnapshotCreatedText(snapshotCreated_));
}

void SnapshotBrowser::ShowRowDetails(int row, std::string_view snapshotCreatedText) {
  if (row < 0 || (list_.RowState(row) & kRowSelected) == 0) {
    notices_.SetStatusText(kDetailStatusPart, SnapshotCreatedText(snapshotCreatedText));
    return;
  }
  notices_.SetStatusText(
      kDetailStatusPart,
      RowDetailsText(list_.CellText(row, kNameColumn), list_.CellText(row, kTypeColumn),
                     list_.CellText(row, kSizeColumn), list_.CellText(row, kDateColumn)));
}

int SnapshotBrowser::GetTypeIconIndex(std::string_view extension) {
  return typeIcons_.GetTypeIconIndex(extension, list_);
}

}  // namespace mv
