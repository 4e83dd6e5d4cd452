// The snapshot library: listing, rebuilding the tree, finding rows, removing snapshots.
#include "core/snapshot_library.h"

#include <algorithm>

#include "core/library_name.h"
#include "core/snapshot_format.h"
#include "core/snapshot_name.h"
#include "core/text.h"

namespace mv {
namespace {

// The key under which a row is found again: its name ignoring case, and its parent item.
std::string RowKey(std::string_view name, TreeItem parent) {
  std::string key;
  key.reserve(name.size() + 1 + 2 * sizeof(TreeItem));
  for (char c : name) key += AsciiLower(c);
  key += '\0';
  for (std::size_t i = 0; i < sizeof(TreeItem); ++i) {
    key += static_cast<char>((parent >> (8 * i)) & 0xFF);
  }
  return key;
}

}  // namespace

std::vector<std::string> ListSnapshotFiles(FileSystem& fileSystem, const std::string& directory) {
  std::vector<std::string> names;
  IoError error = IoError::kNone;
  const std::unique_ptr<DirectoryListing> listing =
      fileSystem.ListNames(BuildSnapshotSearchPattern(directory), error);
  if (listing == nullptr) return names;
  DirEntry entry;
  while (listing->Next(entry)) {
    if ((entry.attributes & kAttrDirectory) != 0) continue;
    if (entry.name == "." || entry.name == "..") continue;
    names.push_back(entry.name);
  }
  return names;
}

std::string SnapshotFilePath(const std::string& directory, std::string_view fileName) {
  // The listed name is one file directly in the folder, whatever separators it holds.
  std::string path = directory;
  AppendPathComponent(path, fileName);
  return path;
}

SnapshotLibrary::SnapshotLibrary(TreePort& tree, FileSystem& fileSystem)
    : tree_(tree), fileSystem_(fileSystem) {
  ClearTables();
}

void SnapshotLibrary::ClearTables() {
  groups_.assign(kLibGroupTableSize, LibGroupEntry{});
  computers_.assign(kLibComputerTableSize, LibComputerEntry{});
  snapshots_.assign(kLibSnapshotTableSize, LibSnapshotEntry{});
  groupsUsed_ = computersUsed_ = snapshotsUsed_ = 0;
  groupRows_.clear();
  computerRows_.clear();
  snapshotRows_.clear();
}

void SnapshotLibrary::RebuildSnapshotTree() {
  tree_.DeleteAllItems();
  ClearTables();
  std::vector<std::string> names = ListSnapshotFiles(fileSystem_, directory_);
  // Only the newest names fit the snapshot table; the older ones are left out altogether,
  // so that they leave no empty group or computer items behind.
  OrderNewestFirst(names);
  if (names.size() > kLibSnapshotTableSize) names.resize(kLibSnapshotTableSize);
  for (const std::string& name : names) AddSnapshotFile(name);
}

void SnapshotLibrary::AddSnapshotFile(std::string_view fileName) {
  const SnapshotNamePieces pieces(fileName);
  const std::string dateText = SnapshotDateText(pieces);
  const TreeItem group = FindOrAddGroup(NameOfFileNamePiece(pieces.Piece(kPieceGroup)));
  const TreeItem computer =
      FindOrAddComputer(NameOfFileNamePiece(pieces.Piece(kPieceComputer)), group);
  FindOrAddSnapshot(dateText, fileName, computer);
}

TreeItem SnapshotLibrary::FindOrAddGroup(std::string_view name) {
  // A name without a group piece has no group: its computer stands at the top level.
  if (name.empty()) return kNoTreeItem;
  std::string key = RowKey(name, kNoTreeItem);
  if (auto found = groupRows_.find(key); found != groupRows_.end()) {
    return groups_[found->second].item;
  }
  if (groupsUsed_ == groups_.size()) return kNoTreeItem;
  LibGroupEntry& row = groups_[groupsUsed_];
  row.inUse = true;
  row.name = name;
  row.item = tree_.InsertItem({kNoTreeItem, row.name, kLibGroupImage, 0, kLibNoSnapshotRow});
  groupRows_.emplace(std::move(key), groupsUsed_++);
  return row.item;
}

TreeItem SnapshotLibrary::FindOrAddComputer(std::string_view name, TreeItem groupItem) {
  std::string key = RowKey(name, groupItem);
  if (auto found = computerRows_.find(key); found != computerRows_.end()) {
    return computers_[found->second].item;
  }
  if (computersUsed_ == computers_.size()) return kNoTreeItem;
  LibComputerEntry& row = computers_[computersUsed_];
  row.inUse = true;
  row.name = name;
  row.item = tree_.InsertItem({groupItem, row.name, kLibComputerImage, 0, kLibNoSnapshotRow});
  row.parentItem = groupItem;
  computerRows_.emplace(std::move(key), computersUsed_++);
  return row.item;
}

TreeItem SnapshotLibrary::FindOrAddSnapshot(std::string_view dateText, std::string_view fileName,
                                            TreeItem computerItem) {
  std::string key = RowKey(fileName, computerItem);
  if (auto found = snapshotRows_.find(key); found != snapshotRows_.end()) {
    return snapshots_[found->second].item;
  }
  if (snapshotsUsed_ == snapshots_.size()) return kNoTreeItem;
  const std::size_t r = snapshotsUsed_;
  LibSnapshotEntry& row = snapshots_[r];
  row.inUse = true;
  row.fileName = fileName;
  row.itemText = dateText;
  row.item = tree_.InsertItem({computerItem, row.itemText, kLibSnapshotImage, kTreeStateBold,
                               static_cast<std::intptr_t>(r)});
  row.parentItem = computerItem;
  snapshotRows_.emplace(std::move(key), snapshotsUsed_++);
  return row.item;
}

void SnapshotLibrary::RemoveSnapshotItem(TreeItem item) {
  if (item == kNoTreeItem) return;
  tree_.DeleteItem(item);
  // All three cases are looked at whatever the item's level; only one finds rows.
  for (std::size_t c = 0; c < computersUsed_; ++c) {
    if (computers_[c].parentItem != item) continue;
    for (std::size_t s = 0; s < snapshotsUsed_; ++s) {
      if (snapshots_[s].parentItem == computers_[c].item) DeleteSnapshotFile(snapshots_[s]);
    }
  }
  for (std::size_t s = 0; s < snapshotsUsed_; ++s) {
    if (snapshots_[s].parentItem == item) DeleteSnapshotFile(snapshots_[s]);
  }
  for (std::size_t s = 0; s < snapshotsUsed_; ++s) {
    if (snapshots_[s].item == item) DeleteSnapshotFile(snapshots_[s]);
  }
}

void SnapshotLibrary::DeleteSnapshotFile(const LibSnapshotEntry& row) {
  // Read-only, in use or already gone: the file stays and the next rebuild shows it again.
  fileSystem_.Remove(mv::SnapshotFilePath(directory_, row.fileName));
}

const LibSnapshotEntry* SnapshotLibrary::SnapshotRow(std::intptr_t itemParam) const {
  if (itemParam < 0 || static_cast<std::size_t>(itemParam) >= snapshotsUsed_) return nullptr;
  return &snapshots_[static_cast<std::size_t>(itemParam)];
}

std::optional<std::string> SnapshotLibrary::SnapshotFilePath(std::intptr_t itemParam) const {
  const LibSnapshotEntry* row = SnapshotRow(itemParam);
  if (row == nullptr) return std::nullopt;
  return mv::SnapshotFilePath(directory_, row->fileName);
}

}  // namespace mv
