// The snapshot library: listing, rebuilding the tree, finding rows, removing snapshots.
#include "core/snapshot_library.h"

#include <algorithm>
#include <cstring>
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

IoError RemoveSnapshotFile(FileSystem& fileSystem, const std::string& directory,
                           std::string_view fileName) {
  if (fileName.empty() || fileName == "." || fileName == "..") return IoError::kNotFound;
  return fileSystem.Remove(SnapshotFilePath(directory, fileName));
}

namespace {

// Eight bytes of a name with 'A' to 'Z' lowered, as AsciiLower does one at a time.
std::uint64_t LowerEightBytes(std::uint64_t bytes) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kHighBits = 0x8080808080808080u;
  const std::uint64_t low = bytes & ~kHighBits;  // no byte carries into the next below
  const std::uint64_t atLeastA = low + (0x80 - 'A') * kOnes;
  const std::uint64_t beyondZ = low + (0x80 - 'Z' - 1) * kOnes;
  const std::uint64_t upper = atLeastA & ~beyondZ & ~bytes & kHighBits;
  return bytes | (upper >> 2);  // 0x80 >> 2 is the 0x20 between the cases
}

std::uint64_t MixWord(std::uint64_t hash, std::uint64_t word) {
  hash = (hash ^ word) * 0x9E3779B97F4A7C15u;
  return hash ^ (hash >> 29);
}

}  // namespace

std::size_t LibRowIndex::Hash(std::string_view name, TreeItem parent) {
  // The lower-cased name eight bytes at a time, the last ones padded with zeros, then its
  // length and the parent item.
  std::uint64_t hash = 0;
  std::size_t at = 0;
  for (; at + 8 <= name.size(); at += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, name.data() + at, 8);
    hash = MixWord(hash, LowerEightBytes(word));
  }
  if (at < name.size()) {
    std::uint64_t word = 0;
    std::memcpy(&word, name.data() + at, name.size() - at);
    hash = MixWord(hash, LowerEightBytes(word));
  }
  hash = MixWord(hash, name.size());
  hash = MixWord(hash, static_cast<std::uint64_t>(parent));
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
  indexedSnapshots_ = 0;
  ageRows_.Clear();
}

void SnapshotLibrary::RebuildSnapshotTree() {
  tree_.DeleteAllItems();
  ClearTables();
  std::vector<std::string> names = ListSnapshotFiles(fileSystem_, directory_);
  snapshots_.reserve(names.size());
  std::vector<std::size_t> ageEnds;
  const std::vector<std::uint32_t> order = NewestFirstPositions(names, &ageEnds);
  // Newest first, each name moving into its row.
  std::size_t k = 0;
  for (const std::size_t end : ageEnds) {
    const bool alone = end - k == 1;
    ageRows_.Clear();
    if (!alone) ageRows_.Reserve(end - k);
    for (; k < end; ++k) AddListedSnapshot(std::move(names[order[k]]), alone);
  }
  ageRows_.Clear();
}

void SnapshotLibrary::AddSnapshotFile(std::string_view fileName) {
  const SnapshotNamePieces pieces(fileName);
  const TreeItem computer = ComputerOfName(pieces);
  FindOrAddSnapshot(SnapshotDateText(pieces), fileName, computer);
}

TreeItem SnapshotLibrary::ComputerOfName(const SnapshotNamePieces& pieces) {
  const TreeItem group = FindOrAddGroup(NameOfFileNamePiece(pieces.Piece(kPieceGroup)));
  return FindOrAddComputer(NameOfFileNamePiece(pieces.Piece(kPieceComputer)), group);
}

void SnapshotLibrary::AddListedSnapshot(std::string&& fileName, bool aloneOfItsAge) {
  std::string dateText;
  TreeItem computer = kNoTreeItem;
  {
    const SnapshotNamePieces pieces(fileName);
    dateText = SnapshotDateText(pieces);
    computer = ComputerOfName(pieces);
  }
  if (aloneOfItsAge) {
    AddSnapshotRow(std::move(dateText), std::move(fileName), computer);
    return;
  }
  const std::size_t hash = LibRowIndex::Hash(fileName, computer);
  if (FindSnapshotRow(ageRows_, fileName, computer, hash) != LibRowIndex::kNoRow) return;
  ageRows_.Add(hash, snapshots_.size());
  AddSnapshotRow(std::move(dateText), std::move(fileName), computer);
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

std::size_t SnapshotLibrary::FindSnapshotRow(const LibRowIndex& index, std::string_view fileName,
                                             TreeItem parent, std::size_t hash) const {
  return index.Find(hash, [&](std::size_t r) {
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
  for (; indexedSnapshots_ < snapshots_.size(); ++indexedSnapshots_) {
    const LibSnapshotEntry& row = snapshots_[indexedSnapshots_];
    snapshotRows_.Add(LibRowIndex::Hash(row.fileName, row.parentItem), indexedSnapshots_);
  }
  const std::size_t hash = LibRowIndex::Hash(fileName, computerItem);
  if (const std::size_t r = FindSnapshotRow(snapshotRows_, fileName, computerItem, hash);
      r != LibRowIndex::kNoRow) {
    return snapshots_[r].item;
  }
  snapshotRows_.Add(hash, indexedSnapshots_++);
  return AddSnapshotRow(std::string(dateText), std::string(fileName), computerItem);
}

TreeItem SnapshotLibrary::AddSnapshotRow(std::string dateText, std::string fileName,
                                         TreeItem computerItem) {
  const std::size_t r = snapshots_.size();
  LibSnapshotEntry& row = snapshots_.emplace_back();
  row.inUse = true;
  row.fileName = std::move(fileName);
  row.itemText = std::move(dateText);
  row.item = tree_.InsertItem({computerItem, row.itemText, kLibSnapshotImage, kTreeStateBold,
                               static_cast<std::intptr_t>(r)});
  row.parentItem = computerItem;
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
  RemoveSnapshotFile(fileSystem_, directory_, row.fileName);
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
