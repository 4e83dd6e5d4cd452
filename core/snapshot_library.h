// The snapshot library: every snapshot file of the snapshots directory as a tree of groups,
// computers and capture times, and the three tables that tie each tree item to what it
// stands for.
//
// How the main window uses it: it owns one SnapshotLibrary over its snapshot tree (a
// TreePort over control 1001) and the platform file system, and
//   - sets the snapshots directory (setting snapshot_dir) with SetSnapshotDirectory before
//     the first rebuild and whenever the setting changes;
//   - calls RebuildSnapshotTree at creation, after the Take Snapshots dialog it opened has
//     closed, and when the Settings dialog closes with OK;
//   - on a selection change reads the selected item's parameter and asks SnapshotFilePath:
//     no path (the -1 of a group or computer item) loads nothing, else it loads that path;
//   - on Remove, after the user said Yes, calls RemoveSnapshotItem with the selected item.
// Everything runs on the thread that owns the tree.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/view_ports.h"

namespace mv {

class SnapshotNamePieces;

// Image indexes in the tree's image list (icons 108, 109, 110).
inline constexpr int kLibGroupImage = 0;
inline constexpr int kLibComputerImage = 1;
inline constexpr int kLibSnapshotImage = 2;

// The item parameter of group and computer items; a snapshot item carries its row.
inline constexpr std::intptr_t kLibNoSnapshotRow = -1;

// A row is in use once a name was added to it. The flag is kept apart from the name so that
// an empty name (a snapshot file name beginning with its separator) still owns its row.
struct LibGroupEntry {
  bool inUse = false;
  std::string name;  // as first met, that is the spelling of the newest snapshot
  TreeItem item = kNoTreeItem;
};

struct LibComputerEntry {
  bool inUse = false;
  std::string name;
  TreeItem item = kNoTreeItem;
  TreeItem parentItem = kNoTreeItem;  // its group item; none: top level
};

struct LibSnapshotEntry {
  bool inUse = false;
  std::string fileName;  // without directory, whole however long
  std::string itemText;  // the date text shown
  TreeItem item = kNoTreeItem;
  TreeItem parentItem = kNoTreeItem;  // its computer item; none: top level
};

// The tables hold as many rows as the directory has groups, computers and snapshots: every
// snapshot file gets its item under its own computer and group.
using LibGroupTable = std::vector<LibGroupEntry>;
using LibComputerTable = std::vector<LibComputerEntry>;
using LibSnapshotTable = std::vector<LibSnapshotEntry>;

// The snapshot file names in the directory, in the order the listing gives them: every
// entry matching the snapshot pattern that is not a directory. Empty when the directory
// cannot be listed.
std::vector<std::string> ListSnapshotFiles(FileSystem& fileSystem, const std::string& directory);

// "%s\%s": the snapshots directory and a file name, the name one path component
// (AppendPathComponent): a name listed with a backslash in it is that file of the folder.
std::string SnapshotFilePath(const std::string& directory, std::string_view fileName);

// Deletes one snapshot file of directory: the name is one path component in it, whatever it
// holds (SnapshotFilePath). Every removal of a snapshot goes through here.
IoError RemoveSnapshotFile(FileSystem& fileSystem, const std::string& directory,
                           std::string_view fileName);

// Row numbers found again by a hash of a name ignoring case and a parent item. Open
// addressing over a table of twice the rows at least: a lookup allocates nothing and mostly
// reads one slot, and the row itself holds the name it is compared with.
class LibRowIndex {
 public:
  static constexpr std::size_t kNoRow = static_cast<std::size_t>(-1);

  static std::size_t Hash(std::string_view name, TreeItem parent);

  void Clear();
  void Reserve(std::size_t rows);
  // The first row recorded under hash for which matches(row) holds, or kNoRow.
  template <typename Matches>
  std::size_t Find(std::size_t hash, const Matches& matches) const {
    if (slots_.empty()) return kNoRow;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
      const Slot& slot = slots_[at];
      if (slot.row == kNoRow) return kNoRow;
      if (slot.hash == hash && matches(slot.row)) return slot.row;
    }
  }
  void Add(std::size_t hash, std::size_t row);

 private:
  struct Slot {
    std::size_t hash = 0;
    std::size_t row = kNoRow;
  };
  void Place(const Slot& slot);
  std::vector<Slot> slots_;  // a power of two in size, or empty
  std::size_t rows_ = 0;
};

class SnapshotLibrary {
 public:
  SnapshotLibrary(TreePort& tree, FileSystem& fileSystem);

  void SetSnapshotDirectory(std::string directory) { directory_ = std::move(directory); }
  const std::string& snapshotDirectory() const { return directory_; }

  // Empties the tree and the tables and fills them again from the snapshots directory,
  // newest snapshot first. A directory that cannot be listed gives an empty tree.
  void RebuildSnapshotTree();

  // Removes the item with its descendants and deletes the files of the snapshots it stands
  // for (a group: all snapshots of its computers). A file that cannot be deleted stays.
  // The rows stay until the next rebuild.
  void RemoveSnapshotItem(TreeItem item);

  // The file a snapshot item's parameter stands for; none for kLibNoSnapshotRow or a
  // parameter that names no row.
  std::optional<std::string> SnapshotFilePath(std::intptr_t itemParam) const;

  // The steps of a rebuild, one snapshot file name at a time.
  void AddSnapshotFile(std::string_view fileName);
  TreeItem FindOrAddGroup(std::string_view name);
  TreeItem FindOrAddComputer(std::string_view name, TreeItem groupItem);
  TreeItem FindOrAddSnapshot(std::string_view dateText, std::string_view fileName,
                             TreeItem computerItem);

  const LibGroupTable& groupTable() const { return groups_; }
  const LibComputerTable& computerTable() const { return computers_; }
  const LibSnapshotTable& snapshotTable() const { return snapshots_; }
  // The row a snapshot item's parameter names, or null.
  const LibSnapshotEntry* SnapshotRow(std::intptr_t itemParam) const;

 private:
  void ClearTables();
  void DeleteSnapshotFile(const LibSnapshotEntry& row);

  TreePort& tree_;
  FileSystem& fileSystem_;
  std::string directory_;
  LibGroupTable groups_;
  LibComputerTable computers_;
  LibSnapshotTable snapshots_;
  // Rows are freed only all together by a rebuild, so a new row goes after the last one,
  // and the first row with a given name (ignoring case) and parent is the one recorded here.
  std::size_t FindGroupRow(std::string_view name, std::size_t hash) const;
  std::size_t FindComputerRow(std::string_view name, TreeItem parent, std::size_t hash) const;
  std::size_t FindSnapshotRow(const LibRowIndex& index, std::string_view fileName, TreeItem parent,
                              std::size_t hash) const;
  TreeItem ComputerOfName(const SnapshotNamePieces& pieces);
  void AddListedSnapshot(std::string&& fileName, bool aloneOfItsAge);
  TreeItem AddSnapshotRow(std::string dateText, std::string fileName, TreeItem computerItem);
  LibRowIndex groupRows_;
  LibRowIndex computerRows_;
  // Snapshot rows below indexedSnapshots_, for FindOrAddSnapshot; the rebuild leaves them to
  // be recorded at its first call.
  LibRowIndex snapshotRows_;
  std::size_t indexedSnapshots_ = 0;
  // During a rebuild, the rows of the names of the age being added: two file names that
  // differ only in case have the same age, so one can only repeat a name of its own age.
  LibRowIndex ageRows_;
};

}  // namespace mv
