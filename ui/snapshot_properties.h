// The texts of the Snapshot Properties dialog, in the order of its controls: group,
// computer, creation, shares, files, directories, total and the file's path.
#pragma once

#include <array>
#include <string>

#include "core/loaded_snapshot.h"

namespace mv {

inline constexpr int kSnapshotPropertyCount = 8;

// "Group: %s", "Computer: %s", "Date Created: %s", "Shares: %d", "Files: %d",
// "Directories: %d", "Total: %d", "File: %s". Texts are kept whole, a long path included.
std::array<std::string, kSnapshotPropertyCount> SnapshotPropertyTexts(const SnapshotInfo& info,
                                                                      int shareCount);

}  // namespace mv
