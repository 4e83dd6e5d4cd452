// Where the space of a snapshot went: the folders and files below a location with their
// totals (size and file count over each one's whole subtree), from the totals the loader
// learnt in its one pass, so a folder of any depth costs the reading of its own block only.
// The command line's du and the Space window read it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/loaded_snapshot.h"

namespace mv {

struct SpaceItem {
  std::string path;      // share-relative, as the snapshot spells it: "Docs\Sub"; "" for all shares
  bool isFolder = true;  // a share or a directory
  int depth = 0;         // below the location asked for: 0 for the location itself
  FolderTotal total;
};

// The children of location ("" for the snapshot's shares, "Docs" for a share, "Docs\Sub"
// for a directory): shares and directories with their totals, files with their size and a
// count of one, in file order. False when the location cannot be listed (not there, or the
// file cannot be read as loaded: snapshot.readFailed() tells).
bool ListSpace(const LoadedSnapshot& snapshot, std::string_view location,
               std::vector<SpaceItem>& children);

// A child as a map's inner levels need it, without a path of its own: its name views the text
// that ListSpaceNames read.
struct SpaceName {
  std::string_view name;
  bool isFolder = false;
  FolderTotal total;
};

// The children of location as ListSpace finds them, largest first (ties by name), their names
// viewing text, which the call fills: a folder of a million files costs no million paths.
bool ListSpaceNames(const LoadedSnapshot& snapshot, std::string_view location, std::string& text,
                    std::vector<SpaceName>& children);

// The location's own total and every folder down to depth levels below it (files left
// out), largest first (ties by path). False as for ListSpace when the location cannot be
// listed; a folder below it that cannot be listed is left with its total and no children.
bool FolderSpace(const LoadedSnapshot& snapshot, std::string_view location, int depth,
                 std::vector<SpaceItem>& folders);

// A size as people read it: "512 bytes", "1.5 KB", "20.3 GB" (1024-based, one decimal).
std::string SpaceSizeText(std::uint64_t bytes);

// Orders items largest first, then by path, as every view of the totals shows them.
void SortBySpace(std::vector<SpaceItem>& items);

}  // namespace mv
