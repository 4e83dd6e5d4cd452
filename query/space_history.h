// How a computer's space grew over its captures: the total size, file count and folder
// count of every snapshot of it (or of one folder in each, where the folder exists), oldest
// first. Whole-snapshot totals are kept in a cache file beside the snapshots, keyed by each
// file's name and stamp (identity, size, last write): an entry whose file changed, went or
// came anew is read again, so the cache is never trusted over the file, and a damaged cache
// only costs the reading.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/directory_blocks.h"
#include "core/snapshot_format.h"
#include "platform/file_system.h"

namespace mv {

// The cache's name in the snapshots folder (no snapshot name ends so).
inline constexpr std::string_view kTotalsCacheName = "mirrorvault-totals.cache";
// A cache larger than this is not read (it is rebuilt): far above the 100 bytes or so that
// each of 200,000 snapshots takes.
inline constexpr std::uint64_t kMaxTotalsCacheBytes = 64ull << 20;

struct CaptureTotal {
  std::string fileName;
  std::string dateText;  // "05.12.2026 09:04:05", as the tree shows it
  bool present = false;  // the folder asked for is in this capture (always, for no folder)
  FolderTotal total;
  std::uint64_t folders = 0;
};

struct HistoryRequest {
  std::string group;     // empty: any group
  std::string computer;  // required
  // The share-relative folder ("Docs\Sub") as a snapshot of the given encoding spells it;
  // none: whole snapshots.
  std::function<std::string(NameEncoding)> folder;
  std::function<void(std::size_t done, std::size_t total)> progress;
};

struct HistoryResult {
  std::vector<CaptureTotal> captures;  // oldest first
  // Files that could not be read or were refused: "<file>: <reason>".
  std::vector<std::string> unreadable;
  std::size_t read = 0;    // snapshots read (the others came from the cache)
  bool cacheSaved = true;  // false when the cache could not be written (nothing else lost)
};

HistoryResult ComputerHistory(FileSystem& fileSystem, const std::string& directory,
                              const HistoryRequest& request);

}  // namespace mv
