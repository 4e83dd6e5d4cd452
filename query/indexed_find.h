// Find over a library with capture indexes: each snapshot that its computer's index holds
// under the file's current stamp is answered from the index, every other one is read as
// FindInSnapshots reads it. Also the history of each entry found (its first and last capture
// and how many held it) and the entries gone from a computer's newest capture, and the
// update of the indexes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/library_snapshots.h"
#include "query/capture_index.h"
#include "query/snapshot_find.h"

namespace mv {

struct IndexUpdate {
  std::string group, computer;
  std::string fileName;      // the index file, in the snapshots folder
  std::size_t captures = 0;  // captures the index holds now
  std::size_t added = 0;     // captures read into it by this update
  std::size_t dropped = 0;   // captures it held that are gone or changed
  // Snapshots left out (unreadable, refused, or listing an entry twice): find reads them.
  std::size_t left = 0;
  std::size_t entries = 0;        // distinct entries
  std::uint64_t bytes = 0;        // the index file
  std::uint64_t stringBytes = 0;  // of which the texts, each once
  std::string failure;            // why the index could not be written; empty when it was
};

// Brings the index of every computer the choice keeps (latestOnly is ignored) up to date with
// its snapshots in directory; a computer without snapshots loses its index. An index that
// holds every capture as it is now is left as it is after a look at its header; checkPages
// reads it through as well, and makes it anew when a page fails (find meanwhile reads the
// snapshots of a computer whose index fails as it is read).
std::vector<IndexUpdate> UpdateIndexes(FileSystem& fileSystem, const std::string& directory,
                                       const SnapshotChoice& choice, bool checkPages = false);

// How much of a search the indexes answered.
struct IndexUse {
  std::size_t indexed = 0;  // snapshots answered from an index
  std::size_t read = 0;     // snapshots read
};

// FindInSnapshots over snapshots (a list of the library in directory, in its order), with the
// indexes. The same hits for each snapshot; those from an index come in the order of their
// share and path, those read in file order.
std::size_t FindWithIndexes(FileSystem& fileSystem, const std::string& directory,
                            const std::vector<LibrarySnapshot>& snapshots,
                            const FindRequest& request, FindReport& report,
                            IndexUse* use = nullptr);

// One distinct entry found, over the captures of its computer in the list.
struct EntryHistory {
  std::string computer;  // the COMPUTER value of its last capture
  NameEncoding encoding = NameEncoding::kAnsi;
  FoundEntry entry;
  const LibrarySnapshot* first = nullptr;  // its oldest capture and its newest
  const LibrarySnapshot* last = nullptr;
  std::size_t captures = 0;  // how many captures hold it
  bool inNewest = false;     // its computer's newest readable capture holds it
};

// "present 03.11.2026 09:00:00 - 05.12.2026 09:00:00, 33 captures".
std::string EntryPresentText(const EntryHistory& history);

class HistoryReport {
 public:
  virtual ~HistoryReport() = default;
  virtual void Seen(const EntryHistory& history) = 0;
  virtual void Skipped(const LibrarySnapshot& snapshot, std::string_view reason) = 0;
};

// The entries of snapshots whose names match, each once per computer with its history, in
// the order of computers in the list and, within one, of share and path; goneOnly keeps those
// that the computer's newest readable capture lacks. Returns the number reported.
std::size_t FindHistories(FileSystem& fileSystem, const std::string& directory,
                          const std::vector<LibrarySnapshot>& snapshots, const FindRequest& request,
                          bool goneOnly, HistoryReport& report, IndexUse* use = nullptr);

}  // namespace mv
