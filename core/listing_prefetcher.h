// Directory listings fetched ahead of a share's writer on a small pool of threads. Folders
// wait in walk order (the order the writer will reach them: a folder before everything below
// it, siblings in listing order), so the threads always fetch the listing the writer needs
// soonest. A listing read to its end whose subdirectories are few enough queues them in turn,
// so the walk's own order drives how far ahead the fetching runs. What the threads hold
// ahead of the writer is capped (kMaxUnitsAhead): a listing still open when the cap is
// reached is handed to the writer unfinished, and the writer reads on from it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/file_system.h"

namespace mv {

// Threads listing ahead of one writer. A listing is one round trip to the server, so the
// time a walk waits falls with the number of listings in flight; 8 keeps the eight workers'
// extra threads at 64 (each reserves its stack in the 32-bit product's address space) and
// already makes the round trips of a 5 ms link cost a tenth of a sequential walk's, which
// lists every directory twice.
inline constexpr unsigned kListingThreads = 8;
// What listings may hold ahead of the writer, counted as one unit per folder and one per
// entry (about 100 bytes each with its name): a few megabytes per writer, however large the
// share.
inline constexpr std::size_t kMaxUnitsAhead = 32768;
// A directory with more subdirectories than this is listed a second time to descend into
// them, rather than keeping all their names on the path being walked.
inline constexpr std::size_t kMaxSubdirectoriesKept = 1024;

struct PrefetchLimits {
  unsigned threads = kListingThreads;  // 0: the writer lists every folder itself
  std::size_t maxUnitsAhead = kMaxUnitsAhead;
  std::size_t maxSubdirectoriesKept = kMaxSubdirectoriesKept;
};

// One folder of the walk. The fields below `state` belong to the thread that lists it until
// it is listed, then to the writer (ListingPrefetcher::Take).
struct PrefetchFolder {
  enum class State { kQueued, kHeldBack, kListing, kListed };

  std::string path;
  std::string name;                  // as listed in its parent (empty for the share root)
  std::vector<std::uint32_t> order;  // listing positions from the share root: walk order
  bool link = false;                 // a directory link: listed only when the writer gets there
  State state = State::kQueued;

  bool started = false;                      // the listing could be started
  IoError error = IoError::kNone;            // why not, when it could not
  std::vector<DirEntry> entries;             // what was read of it
  std::unique_ptr<DirectoryListing> unread;  // the rest, when the cap stopped the reading
  bool subdirectoriesKept = false;           // subdirectories: all of the listing's
  std::vector<std::unique_ptr<PrefetchFolder>> subdirectories;
  std::size_t units = 0;  // units of kMaxUnitsAhead held
};

class ListingPrefetcher {
 public:
  // Starts the threads; fewer (down to none) when the platform cannot start them all.
  ListingPrefetcher(FileSystem& fs, const PrefetchLimits& limits);
  // Abandons the listings in flight: waits for the calls under way, reads nothing further.
  ~ListingPrefetcher();
  ListingPrefetcher(const ListingPrefetcher&) = delete;
  ListingPrefetcher& operator=(const ListingPrefetcher&) = delete;

  // A folder of the walk, queued for listing unless it is a link. Every folder made must be
  // taken (Take) or outlived by the prefetcher.
  // position: its place among the subdirectories of the folder whose order is parentOrder
  // (the share root: any position below an empty parentOrder).
  std::unique_ptr<PrefetchFolder> MakeFolder(std::string path,
                                             const std::vector<std::uint32_t>& parentOrder,
                                             std::uint32_t position, bool link);
  // Waits until folder is listed, listing it on this thread when no other has begun.
  void Take(PrefetchFolder& folder);
  // The writer is done with folder's entries: they no longer count against the cap.
  void Release(PrefetchFolder& folder);

 private:
  struct ByWalkOrder {
    bool operator()(const PrefetchFolder* a, const PrefetchFolder* b) const {
      return a->order < b->order;
    }
  };

  static std::unique_ptr<PrefetchFolder> NewFolder(std::string path,
                                                   const std::vector<std::uint32_t>& parentOrder,
                                                   std::uint32_t position, bool link);
  void Work();
  void List(PrefetchFolder& folder);

  FileSystem& fs_;
  const std::size_t maxUnitsAhead_;
  const std::size_t maxSubdirectoriesKept_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::set<PrefetchFolder*, ByWalkOrder> queue_;
  std::atomic<std::size_t> unitsAhead_{0};
  std::atomic<bool> abandoned_{false};
  std::vector<std::thread> threads_;
};

}  // namespace mv
