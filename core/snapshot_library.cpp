// The snapshot library: listing, rebuilding the tree, finding rows, removing snapshots.
#include "core/snapshot_library.h"

#include <algorithm>
#include <utility>

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

std::size_t LibRowIndex::Hash(std::string_view name, TreeItem parent) {
  // FNV-1a over the lower-cased name, then the parent item's bytes.
  std::uint64_t hash = 14695981039346656037u;
  auto mix = [&hash](unsigned char byte) {
    hash ^= byte;
    hash *= 1099511628211u;
  };
  for (const char c : name) mix(static_cast<unsigned char>(AsciiLower(c)));
  for (std::size_t i = 0; i < sizeof(TreeItem); ++i) {
    mix(static_cast<unsigned char>((parent >> (8 * i)) & 0xFF));
  }
  return static_cast<std::size_t>(hash ^ (hash >> 32));
}

void LibRowIndex::Clear() {
  slots_.clear();
  rows_ = 0;
}

void LibRowIndex::Reserve(std::size_t rows) {
  std::size_t size = 16;
  while (size / 2 < rows) size *= 2;
  if (size <= slots_.size()) return;
  std::vector<Slot> old(size);
  old.swap(slots_);
  for (const Slot& slot : old) {
    if (slot.row != kNoRow) Place(slot);
  }
}

void LibRowIndex::Place(const Slot& slot) {
  const std::size_t mask = slots_.size() - 1;
  std::size_t at = slot.hash & mask;
  while (slots_[at].row != kNoRow) at = (at + 1) & mask;
  slots_[at] = slot;
}

void LibRowIndex::Add(std::size_t hash, std::size_t row) {
  if (2 * (rows_ + 1) > slots_.size()) Reserve(rows_ + 1);
  Place({hash, row});
  ++rows_;
}

SnapshotLibrary::SnapshotLibrary(TreePort& tree, FileSystem& fileSystem)
    : tree_(tree), fileSystem_(fileSystem) {
  ClearTables();
}

void SnapshotLibrary::ClearTables() {
  groups_.clear();
  computers_.clear();
  snapshots_.clear();
  groupRows_.Clear();
  computerRows_.Clear();
  snapshotRows_.Clear();
}

void SnapshotLibrary::RebuildSnapshotTree() {
  tree_.DeleteAllItems();
  ClearTables();
  std::vector<std::string> names = ListSnapshotFiles(fileSystem_, directory_);
  snapshots_.reserve(names.size());
  snapshotRows_.Reserve(names.size());
  // Newest first, each name moving into its row.
  for (const std::uint32_t position : NewestFirstPositions(names)) {
    AddListedSnapshot(std::move(names[position]));
  }
}

void SnapshotLibrary::AddSnapshotFile(std::string_view fileName) {
  AddListedSnapshot(std::string(fileName));
}

void SnapshotLibrary::AddListedSnapshot(std::string&& fileName) {
  std::string dateText;
  TreeItem computer = kNoTreeItem;
  {
    const SnapshotNamePieces pieces(fileName);
    dateText = SnapshotDateText(pieces);
    const TreeItem group = FindOrAddGroup(NameOfFileNamePiece(pieces.Piece(kPieceGroup)));
    computer = FindOrAddComputer(NameOfFileNamePiece(pieces.Piece(kPieceComputer)), group);
  }
  const std::size_t hash = LibRowIndex::Hash(fileName, computer);
  if (FindSnapshotRow(fileName, computer, hash) != LibRowIndex::kNoRow) return;
  AddSnapshotRow(std::move(dateText), std::move(fileName), computer, hash);
}

std::size_t SnapshotLibrary::FindGroupRow(std::string_view name, std::size_t hash) const {
  return groupRows_.Find(hash,
                         [&](std::size_t r) { return EqualsIgnoreCase(groups_[r].name, name); });
}

std::size_t SnapshotLibrary::FindComputerRow(std::string_view name, TreeItem parent,
                                             std::size_t hash) const {
  return computerRows_.Find(hash, [&](std::size_t r) {
    return computers_[r].parentItem == parent && EqualsIgnoreCase(computers_[r].name, name);
  });
}

std::size_t SnapshotLibrary::FindSnapshotRow(std::string_view fileName, TreeItem parent,
                                             std::size_t hash) const {
  return snapshotRows_.Find(hash, [&](std::size_t r) {
    return snapshots_[r].parentItem == parent && EqualsIgnoreCase(snapshots_[r].fileName, fileName);
  });
}

TreeItem SnapshotLibrary::FindOrAddGroup(std::string_view name) {
  // A name without a group piece has no group: its computer stands at the top level.
  if (name.empty()) return kNoTreeItem;
  const std::size_t hash = LibRowIndex::Hash(name, kNoTreeItem);
  if (const std::size_t r = FindGroupRow(name, hash); r != LibRowIndex::kNoRow) {
    return groups_[r].item;
  }
  const std::size_t r = groups_.size();
  LibGroupEntry& row = groups_.emplace_back();
  row.inUse = true;
  row.name = name;
  row.item = tree_.InsertItem({kNoTreeItem, row.name, kLibGroupImage, 0, kLibNoSnapshotRow});
  groupRows_.Add(hash, r);
  return row.item;
}

TreeItem SnapshotLibrary::FindOrAddComputer(std::string_view name, TreeItem groupItem) {
  const std::size_t hash = LibRowIndex::Hash(name, groupItem);
  if (const std::size_t r = FindComputerRow(name, groupItem, hash); r != LibRowIndex::kNoRow) {
    return computers_[r].item;
  }
  const std::size_t r = computers_.size();
  LibComputerEntry& row = computers_.emplace_back();
  row.inUse = true;
  row.name = name;
  row.item = tree_.InsertItem({groupItem, row.name, kLibComputerImage, 0, kLibNoSnapshotRow});
  row.parentItem = groupItem;
  computerRows_.Add(hash, r);
  return row.item;
}

TreeItem SnapshotLibrary::FindOrAddSnapshot(std::string_view dateText, std::string_view fileName,
                                            TreeItem computerItem) {
  const std::size_t hash = LibRowIndex::Hash(fileName, computerItem);
  if (const std::size_t r = FindSnapshotRow(fileName, computerItem, hash);
      r != LibRowIndex::kNoRow) {
    return snapshots_[r].item;
  }
  return AddSnapshotRow(std::string(dateText), std::string(fileName), computerItem, hash);
}

TreeItem SnapshotLibrary::AddSnapshotRow(std::string dateText, std::string fileName,
                                         TreeItem computerItem, std::size_t hash) {
  const std::size_t r = snapshots_.size();
  LibSnapshotEntry& row = snapshots_.emplace_back();
  row.inUse = true;
  row.fileName = std::move(fileName);
  row.itemText = std::move(dateText);
  row.item = tree_.InsertItem({computerItem, row.itemText, kLibSnapshotImage, kTreeStateBold,
                               static_cast<std::intptr_t>(r)});
  row.parentItem = computerItem;
  snapshotRows_.Add(hash, r);
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
