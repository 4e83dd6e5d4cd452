// The library's snapshots in tree order: the library fills an in-memory tree, whose walk
// gives the order; nothing about the order is decided twice.
#include "core/library_snapshots.h"

#include <set>
#include <utility>

#include "core/library_name.h"
#include "core/snapshot_library.h"
#include "core/snapshot_name.h"
#include "core/text.h"
#include "platform/memory/memory_tree_port.h"

namespace mv {

std::vector<LibrarySnapshot> ListLibrarySnapshots(FileSystem& fileSystem,
                                                  const std::string& directory) {
  MemoryTreePort tree;
  SnapshotLibrary library(tree, fileSystem);
  library.SetSnapshotDirectory(directory);
  library.RebuildSnapshotTree();
  std::vector<LibrarySnapshot> snapshots;
  tree.Walk([&](const MemoryTreePort::Node& node, int) {
    const LibSnapshotEntry* row = library.SnapshotRow(node.param);
    if (row == nullptr) return;
    const SnapshotNamePieces pieces(row->fileName);
    snapshots.push_back({SnapshotFilePath(directory, row->fileName), row->fileName,
                         NameOfFileNamePiece(pieces.Piece(kPieceGroup)),
                         NameOfFileNamePiece(pieces.Piece(kPieceComputer)), row->itemText});
  });
  return snapshots;
}

std::vector<LibrarySnapshot> ChooseSnapshots(const std::vector<LibrarySnapshot>& snapshots,
                                             const SnapshotChoice& choice) {
  std::vector<LibrarySnapshot> chosen;
  // A computer is its name within its group, both ignoring case, as the tree counts them.
  std::set<std::pair<std::string, std::string>> seen;
  auto lower = [](std::string_view text) {
    std::string out;
    for (const char c : text) out += AsciiLower(c);
    return out;
  };
  for (const LibrarySnapshot& snapshot : snapshots) {
    if (!choice.computer.empty() && !EqualsIgnoreCase(choice.computer, snapshot.computer)) {
      continue;
    }
    if (!choice.group.empty() && !EqualsIgnoreCase(choice.group, snapshot.group)) continue;
    // The list runs newest first within each computer, so its first snapshot is the newest.
    if (choice.latestOnly &&
        !seen.emplace(lower(snapshot.group), lower(snapshot.computer)).second) {
      continue;
    }
    chosen.push_back(snapshot);
  }
  return chosen;
}

}  // namespace mv
