// Find across snapshots: every entry whose name matches a pattern, in every snapshot of a
// list, read a few at a time on worker threads and reported in list order on the caller's
// thread. Memory holds one file per worker and the hits of the few snapshots in flight,
// however many snapshots the list has.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/library_snapshots.h"
#include "platform/file_system.h"
#include "query/name_pattern.h"
#include "query/snapshot_scan.h"

namespace mv {

enum class EntryKinds { kAll, kDirectories, kFiles };

struct FoundEntry {
  std::string share;
  std::string path;  // share-relative, with the name: "Sub\Deep\c.txt"
  bool isDirectory = false;
  std::string size;     // as written
  std::string created;  // month.day.year as written
};

struct FindRequest {
  std::string pattern;  // as NamePattern takes it
  EntryKinds kinds = EntryKinds::kAll;
  unsigned threads = 0;                     // 0: one per processor, at most kMaxWorkers
  const std::atomic<bool>* stop = nullptr;  // once set, nothing more is read or reported
};

// Called on the thread that called FindInSnapshots, one snapshot after the other in list
// order.
class FindReport {
 public:
  virtual ~FindReport() = default;
  // An accepted snapshot, its COMPUTER value (the live paths' computer), the encoding of
  // its names and its hits in file order; hits may be empty. Texts are as written.
  virtual void Found(const LibrarySnapshot& snapshot, std::string_view computer,
                     NameEncoding encoding, const std::vector<FoundEntry>& hits) = 0;
  // A snapshot that cannot be read or is refused as corrupted, with the reason.
  virtual void Skipped(const LibrarySnapshot& snapshot, std::string_view reason) = 0;
};

// Searches every snapshot of the list; returns the number of hits.
std::size_t FindInSnapshots(FileSystem& fileSystem, const std::vector<LibrarySnapshot>& snapshots,
                            const FindRequest& request, FindReport& report);

// The search of one accepted snapshot: its hits appended to hits, in file order.
void FindInLayout(const SnapshotLayout& layout, const NamePattern& pattern, EntryKinds kinds,
                  std::vector<FoundEntry>& hits);

}  // namespace mv
