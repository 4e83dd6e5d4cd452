// The writer's side of the walk ahead: the same depth-first order as the sequential walk,
// each folder's listing taken from the prefetcher instead of asked for on the spot.
#include "core/share_walk_ahead.h"

#include <deque>
#include <memory>
#include <utility>
#include <vector>

namespace mv {
namespace {

// Subdirectories read ahead from a second listing and queued for the threads.
constexpr std::size_t kSecondListingWindow = 64;

struct Level : WalkedDirectory {
  Level(std::unique_ptr<PrefetchFolder> listed, std::string writtenPath)
      : WalkedDirectory(listed->path), written(std::move(writtenPath)), folder(std::move(listed)) {}

  std::string written;  // relative to the share root, as the snapshot holds it
  std::unique_ptr<PrefetchFolder> folder;
  std::size_t nextKept = 0;                           // in folder->subdirectories
  std::unique_ptr<DirectoryListing> second;           // when they were not kept
  std::deque<std::unique_ptr<PrefetchFolder>> ahead;  // read from second, not yet walked
  std::uint32_t nextPosition = 0;
};

class AheadWalk {
 public:
  AheadWalk(ShareWalk& walk, const PrefetchLimits& limits)
      : walk_(walk), prefetcher_(walk.fs, limits) {}

  IoError Run(const std::string& root) {
    std::unique_ptr<PrefetchFolder> rootFolder = prefetcher_.MakeFolder(root, {}, 0, false);
    PrefetchFolder& rootListed = *rootFolder;
    Enter(std::move(rootFolder), {});
    const IoError rootError = rootListed.started ? IoError::kNone : rootListed.error;
    while (!levels_.empty() && !walk_.out.failed()) {
      std::unique_ptr<PrefetchFolder> child = NextSubdirectory(levels_.back());
      if (child == nullptr) {
        levels_.pop_back();
        continue;
      }
      if (child->link && LeadsToAncestor(walk_.fs, child->path, levels_)) {
        ++walk_.linksNotFollowed;
        continue;
      }
      std::string written = WrittenChildPath(levels_.back().written, child->name);
      Enter(std::move(child), std::move(written));
    }
    return rootError;
  }

 private:
  // Writes the folder's block and makes it the deepest level.
  void Enter(std::unique_ptr<PrefetchFolder> folder, std::string written) {
    prefetcher_.Take(*folder);
    if (!folder->started) ++walk_.unlistedDirectories;
    for (const DirEntry& entry : folder->entries) {
      if (walk_.out.failed()) break;
      WriteListedEntry(walk_, written, entry);
    }
    if (folder->unread != nullptr) {
      while (!walk_.out.failed() && folder->unread->Next(walk_.entry)) {
        WriteListedEntry(walk_, written, walk_.entry);
      }
    }
    prefetcher_.Release(*folder);
    Level& level = levels_.emplace_back(std::move(folder), std::move(written));
    if (!level.folder->subdirectoriesKept) level.second = StartListing(walk_.fs, level.path);
  }

  std::unique_ptr<PrefetchFolder> NextSubdirectory(Level& level) {
    std::vector<std::unique_ptr<PrefetchFolder>>& kept = level.folder->subdirectories;
    if (level.nextKept < kept.size()) return std::move(kept[level.nextKept++]);
    while (level.second != nullptr && level.ahead.size() < kSecondListingWindow) {
      if (!level.second->Next(walk_.entry)) {
        level.second.reset();
        break;
      }
      if (!IsSubdirectoryToWalk(walk_.entry)) continue;
      level.ahead.push_back(prefetcher_.MakeFolder(
          ChildPath(level.path, walk_.entry.name), level.folder->order, level.nextPosition++,
          (walk_.entry.attributes & kAttrReparsePoint) != 0));
      level.ahead.back()->name = walk_.entry.name;
    }
    if (level.ahead.empty()) return nullptr;
    std::unique_ptr<PrefetchFolder> next = std::move(level.ahead.front());
    level.ahead.pop_front();
    return next;
  }

  ShareWalk& walk_;
  // Declared before the prefetcher, so that its threads are gone before the folders are.
  std::vector<Level> levels_;
  ListingPrefetcher prefetcher_;
};

}  // namespace

IoError WalkDirectoryAhead(ShareWalk& walk, const std::string& directoryPath,
                           const PrefetchLimits& limits) {
  return AheadWalk(walk, limits).Run(directoryPath);
}

}  // namespace mv
