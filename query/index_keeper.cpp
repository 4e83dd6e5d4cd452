// The background update of the capture indexes: see index_keeper.h.
#include "query/index_keeper.h"

#include <new>

#include "query/indexed_find.h"

namespace mv {

void IndexKeeper::Request(const std::string& directory) {
  if (directory.empty()) return;
  bool start = false;
  {
    std::lock_guard lock(mutex_);
    wanted_ = directory;
    start = !started_;
    started_ = true;
  }
  if (start && !StartDetachedThread([this] { Body(); })) {
    std::lock_guard lock(mutex_);
    started_ = false;  // searches read the snapshots; a later request tries again
    return;
  }
  wake_.Set();
}

void IndexKeeper::SetDone(std::function<void(const std::string& directory)> done) {
  std::lock_guard lock(mutex_);
  done_ = std::move(done);
}

void IndexKeeper::Body() {
  for (;;) {
    if (!wake_.Wait()) SleepMilliseconds(1000);  // without its event it looks now and then
    std::string directory;
    std::function<void(const std::string&)> done;
    {
      std::lock_guard lock(mutex_);
      wake_.Reset();
      directory.swap(wanted_);
      done = done_;
    }
    if (directory.empty()) continue;
    try {
      UpdateIndexes(PlatformFileSystem(), directory, SnapshotChoice{});
    } catch (const std::bad_alloc&) {
      // Not enough memory for one computer's index: find reads what no index holds as it is.
    }
    if (done) done(directory);
  }
}

IndexKeeper& TheIndexKeeper() {
  static IndexKeeper* const keeper = new IndexKeeper;  // its thread outlives main
  return *keeper;
}

}  // namespace mv
