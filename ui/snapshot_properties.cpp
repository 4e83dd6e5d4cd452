// Formatting of the Snapshot Properties texts from what the loader keeps.
#include "ui/snapshot_properties.h"

#include <cstdint>

namespace mv {

std::array<std::string, kSnapshotPropertyCount> SnapshotPropertyTexts(const SnapshotInfo& info,
                                                                      int shareCount) {
  // Each count is below 2^31 (a file the loader takes holds fewer entry lines); the sum may
  // not be, so it is taken in 64 bits.
  const std::int64_t total =
      static_cast<std::int64_t>(info.fileCount) + static_cast<std::int64_t>(info.directoryCount);
  return {
      "Group: " + info.group,
      "Computer: " + info.computer,
      "Date Created: " + info.created,
      "Shares: " + std::to_string(shareCount),
      "Files: " + std::to_string(info.fileCount),
      "Directories: " + std::to_string(info.directoryCount),
      "Total: " + std::to_string(total),
      "File: " + info.path,
  };
}

}  // namespace mv
