// The listing threads: each takes the queued folder that comes first in walk order, reads its
// listing while the cap allows, and queues its subdirectories when it has them all.
#include "core/listing_prefetcher.h"

#include <system_error>
#include <utility>

#include "core/share_walker.h"

namespace mv {

ListingPrefetcher::ListingPrefetcher(FileSystem& fs, const PrefetchLimits& limits)
    : fs_(fs),
      maxUnitsAhead_(limits.maxUnitsAhead),
      maxSubdirectoriesKept_(limits.maxSubdirectoriesKept) {
  threads_.reserve(limits.threads);
  for (unsigned i = 0; i < limits.threads; ++i) {
    // Without threads to spare the writer lists everything itself, as it takes each folder.
    try {
      threads_.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
      break;
    }
  }
}

ListingPrefetcher::~ListingPrefetcher() {
  {
    std::lock_guard lock(mutex_);
    abandoned_ = true;
    queue_.clear();
  }
  changed_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

std::unique_ptr<PrefetchFolder> ListingPrefetcher::NewFolder(
    std::string path, const std::vector<std::uint32_t>& parentOrder, std::uint32_t position,
    bool link) {
  auto folder = std::make_unique<PrefetchFolder>();
  folder->path = std::move(path);
  folder->order.reserve(parentOrder.size() + 1);
  folder->order = parentOrder;
  folder->order.push_back(position);
  folder->link = link;
  // A link may lead back above itself: whether it is entered is the writer's to decide.
  folder->state = link ? PrefetchFolder::State::kHeldBack : PrefetchFolder::State::kQueued;
  return folder;
}

std::unique_ptr<PrefetchFolder> ListingPrefetcher::MakeFolder(
    std::string path, const std::vector<std::uint32_t>& parentOrder, std::uint32_t position,
    bool link) {
  std::unique_ptr<PrefetchFolder> folder = NewFolder(std::move(path), parentOrder, position, link);
  if (!link) {
    {
      std::lock_guard lock(mutex_);
      queue_.insert(folder.get());
    }
    changed_.notify_one();
  }
  return folder;
}

void ListingPrefetcher::Take(PrefetchFolder& folder) {
  std::unique_lock lock(mutex_);
  if (folder.state == PrefetchFolder::State::kQueued ||
      folder.state == PrefetchFolder::State::kHeldBack) {
    queue_.erase(&folder);
    folder.state = PrefetchFolder::State::kListing;
    lock.unlock();
    List(folder);
    return;
  }
  changed_.wait(lock, [&] { return folder.state == PrefetchFolder::State::kListed; });
}

void ListingPrefetcher::Release(PrefetchFolder& folder) {
  {
    std::lock_guard lock(mutex_);
    unitsAhead_ -= folder.units;
    folder.units = 0;
  }
  changed_.notify_all();
  folder.entries.clear();
  folder.entries.shrink_to_fit();
  folder.unread.reset();
}

void ListingPrefetcher::Work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [&] {
      return abandoned_ || (!queue_.empty() && unitsAhead_.load() < maxUnitsAhead_);
    });
    if (abandoned_) return;
    PrefetchFolder& folder = **queue_.begin();
    queue_.erase(queue_.begin());
    folder.state = PrefetchFolder::State::kListing;
    lock.unlock();
    List(folder);
    lock.lock();
  }
}

void ListingPrefetcher::List(PrefetchFolder& folder) {
  std::unique_ptr<DirectoryListing> listing = StartListing(fs_, folder.path, &folder.error);
  folder.started = listing != nullptr;
  folder.units = 1;
  unitsAhead_ += 1;
  bool whole = folder.started;
  std::size_t subdirectories = 0;
  if (listing != nullptr) {
    DirEntry entry;
    for (;;) {
      if (abandoned_ || unitsAhead_.load() >= maxUnitsAhead_) {
        whole = false;
        folder.unread = std::move(listing);
        break;
      }
      if (!listing->Next(entry)) break;
      if (IsSubdirectoryToWalk(entry)) ++subdirectories;
      folder.entries.push_back(std::move(entry));
      ++folder.units;
      unitsAhead_ += 1;
    }
  }
  // Only a whole listing says which subdirectories there are; one cut short, or with too
  // many to keep, is listed again when the writer descends.
  if (whole && subdirectories <= maxSubdirectoriesKept_ && !abandoned_) {
    folder.subdirectoriesKept = true;
    folder.subdirectories.reserve(subdirectories);
    std::uint32_t position = 0;
    for (const DirEntry& entry : folder.entries) {
      if (!IsSubdirectoryToWalk(entry)) continue;
      folder.subdirectories.push_back(NewFolder(ChildPath(folder.path, entry.name), folder.order,
                                                position++,
                                                (entry.attributes & kAttrReparsePoint) != 0));
      folder.subdirectories.back()->name = entry.name;
    }
  }
  {
    std::lock_guard lock(mutex_);
    for (const auto& child : folder.subdirectories) {
      if (child->state == PrefetchFolder::State::kQueued) queue_.insert(child.get());
    }
    folder.state = PrefetchFolder::State::kListed;
  }
  changed_.notify_all();
}

}  // namespace mv
