// The snapshots of a library as one list, in the order the snapshot tree shows them: groups
// and computers in the order of their newest snapshot, each computer's snapshots newest
// first. Find walks this list; a search window can offer the same choice.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace mv {

struct LibrarySnapshot {
  std::string path;      // the file, "<directory>\<fileName>"
  std::string fileName;  // as listed
  std::string group;     // the group and computer pieces of the name
  std::string computer;
  std::string dateText;  // the text of its item: "05.12.2026 09:04:05"
};

// Every snapshot the library of directory lists, as the tree orders them. Empty when the
// directory cannot be listed.
std::vector<LibrarySnapshot> ListLibrarySnapshots(FileSystem& fileSystem,
                                                  const std::string& directory);

struct SnapshotChoice {
  std::string computer;     // keep only this computer (ignoring case); empty: every computer
  std::string group;        // keep only this group (ignoring case); empty: every group
  bool latestOnly = false;  // keep only each computer's newest snapshot
};

// The snapshots of the list that the choice keeps, in list order.
std::vector<LibrarySnapshot> ChooseSnapshots(const std::vector<LibrarySnapshot>& snapshots,
                                             const SnapshotChoice& choice);

}  // namespace mv
