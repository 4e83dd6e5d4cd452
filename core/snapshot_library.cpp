// The snapshot library: listing, rebuilding the tree, finding rows, removing snapshots.
#include "core/snapshot_library.h"

#include <algorithm>

#include "core/library_name.h"
#include "core/snapshot_format.h"
#include "core/snapshot_name.h"
#include "core/text.h"

namespace mv {
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

// The key under which a row is found again: its name ignoring case, and its parent item.
const std::string& SnapshotLibrary::RowKey(std::string_view name, TreeItem parent) {
  std::string& key = keyBuffer_;
  key.clear();
  for (char c : name) key += AsciiLower(c);
  key += '\0';
  for (std::size_t i = 0; i < sizeof(TreeItem); ++i) {
    key += static_cast<char>((parent >> (8 * i)) & 0xFF);
  }
  return key;
}

SnapshotLibrary::SnapshotLibrary(TreePort& tree, FileSystem& fileSystem)
    : tree_(tree), fileSystem_(fileSystem) {
  ClearTables();
}

void SnapshotLibrary::ClearTables() {
  groups_.clear();
  computers_.clear();
  snapshots_.clear();
  groupRows_.clear();
  computerRows_.clear();
  snapshotRows_.clear();
}

void SnapshotLibrary::RebuildSnapshotTree() {
  tree_.DeleteAllItems();
  ClearTables();
  std::vector<std::string> names = ListSnapshotFiles(fileSystem_, directory_);
  OrderNewestFirst(names);
  snapshots_.reserve(names.size());
  snapshotRows_.reserve(names.size());
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
  const std::string& key = RowKey(name, kNoTreeItem);
  if (auto found = groupRows_.find(key); found != groupRows_.end()) {
    return groups_[found->second].item;
  }
  const std::size_t r = groups_.size();
  LibGroupEntry& row = groups_.emplace_back();
  row.inUse = true;
  row.name = name;
  row.item = tree_.InsertItem({kNoTreeItem, row.name, kLibGroupImage, 0, kLibNoSnapshotRow});
  groupRows_.emplace(key, r);
  return row.item;
}

TreeItem SnapshotLibrary::FindOrAddComputer(std::string_view name, TreeItem groupItem) {
  const std::string& key = RowKey(name, groupItem);
  if (auto found = computerRows_.find(key); found != computerRows_.end()) {
    return computers_[found->second].item;
  }
  const std::size_t r = computers_.size();
  LibComputerEntry& row = computers_.emplace_back();
  row.inUse = true;
  row.name = name;
  row.item = tree_.InsertItem({groupItem, row.name, kLibComputerImage, 0, kLibNoSnapshotRow});
  row.parentItem = groupItem;
  computerRows_.emplace(key, r);
  return row.item;
}

TreeItem SnapshotLibrary::FindOrAddSnapshot(std::string_view dateText, std::string_view fileName,
                                            TreeItem computerItem) {
  const std::string& key = RowKey(fileName, computerItem);
  if (auto found = snapshotRows_.find(key); found != snapshotRows_.end()) {
    return snapshots_[found->second].item;
  }
  const std::size_t r = snapshots_.size();
  LibSnapshotEntry& row = snapshots_.emplace_back();
  row.inUse = true;
  row.fileName = fileName;
  row.itemText = dateText;
  row.item = tree_.InsertItem({computerItem, row.itemText, kLibSnapshotImage, kTreeStateBold,
                               static_cast<std::intptr_t>(r)});
  row.parentItem = computerItem;
  snapshotRows_.emplace(key, r);
  return row.item;
}

void SnapshotLibrary::RemoveSnapshotItem(TreeItem item) {
  if (item == kNoTreeItem) return;
  tree_.DeleteItem(item);
  // All three cases are looked at whatever the item's level; only one finds rows.
  for (std::size_t c = 0; c < computers_.size(); ++c) {
    if (computers_[c].parentItem != item) continue;
    for (std::size_t s = 0; s < snapshots_.size(); ++s) {
      if (snapshots_[s].parentItem == computers_[c].item) DeleteSnapshotFile(snapshots_[s]);
    }
  }
  for (std::size_t s = 0; s < snapshots_.size(); ++s) {
    if (snapshots_[s].parentItem == item) DeleteSnapshotFile(snapshots_[s]);
  }
  for (std::size_t s = 0; s < snapshots_.size(); ++s) {
    if (snapshots_[s].item == item) DeleteSnapshotFile(snapshots_[s]);
  }
}

void SnapshotLibrary::DeleteSnapshotFile(const LibSnapshotEntry& row) {
  // Read-only, in use or already gone: the file stays and the next rebuild shows it again.
  fileSystem_.Remove(mv::SnapshotFilePath(directory_, row.fileName));
}

const LibSnapshotEntry* SnapshotLibrary::SnapshotRow(std::intptr_t itemParam) const {
  if (itemParam < 0 || static_cast<std::size_t>(itemParam) >= snapshots_.size()) return nullptr;
  return &snapshots_[static_cast<std::size_t>(itemParam)];
}

std::optional<std::string> SnapshotLibrary::SnapshotFilePath(std::intptr_t itemParam) const {
  const LibSnapshotEntry* row = SnapshotRow(itemParam);
  if (row == nullptr) return std::nullopt;
  return mv::SnapshotFilePath(directory_, row->fileName);
}

}  // namespace mv
