// Where a computer grew between two of its captures: the folders whose files gained the most
// bytes, from the comparison engine's rows (read in pieces, in bounded memory). A folder is
// counted at a depth below the place asked for, so "Docs\Projects" gathers every change
// beneath it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/code_page_text.h"
#include "query/snapshot_diff.h"

namespace mv {

// The folders a growth list names at most.
inline constexpr std::size_t kMaxGrowers = 200;

struct Grower {
  std::string path;        // "Docs\Projects" (share and folders), UTF-8
  std::int64_t bytes = 0;  // bytes gained (negative: lost)
  std::uint64_t filesAdded = 0, filesRemoved = 0, filesChanged = 0;
};

struct GrowthRequest {
  std::string oldPath, newPath;
  // Only changes below this share-relative folder ("Docs\Sub", UTF-8); empty: everywhere.
  std::string within;
  // Folders counted this many levels below within (a share counts as a level).
  int depth = 2;
  std::size_t top = kMaxGrowers;
};

struct GrowthResult {
  std::vector<Grower> growers;  // most bytes gained first, then most files added
  DiffSummary summary;
};

// False, with failure set, when the comparison could not be made.
bool LargestGrowers(FileSystem& fileSystem, const GrowthRequest& request,
                    const CodePageDecoder& ansiNames, GrowthResult& result, DiffFailure& failure);

}  // namespace mv
