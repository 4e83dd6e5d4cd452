// Depth-first walk of a share: a directory's whole block first, then each subdirectory in
// listing order. The walk keeps an explicit stack of levels (path, open second listing,
// identity when it was needed), so neither the thread's stack nor memory grows with the
// number of entries.
#include "core/share_walker.h"

#include <memory>
#include <vector>

#include "core/entry_line.h"
#include "core/share_walk_ahead.h"
#include "core/snapshot_format.h"

namespace mv {
namespace {

struct Level : WalkedDirectory {
  Level(std::string directoryPath, std::unique_ptr<DirectoryListing> listing)
      : WalkedDirectory(std::move(directoryPath)), subdirectories(std::move(listing)) {}

  std::unique_ptr<DirectoryListing> subdirectories;  // null when it could not be started
};

bool IsDotOrDotDot(const std::string& name) {
  return name == "." || name == "..";
}

std::string ListingPattern(std::string_view directoryPath) {
  std::string pattern(directoryPath);
  pattern += kPathSeparator;
  pattern += "*.*";
  return pattern;
}

// First listing: the directory's block, every entry but "." and "..".
void WriteDirectoryBlock(ShareWalk& walk, const std::string& directoryPath) {
  std::unique_ptr<DirectoryListing> listing = StartListing(walk.fs, directoryPath);
  if (listing == nullptr) {
    ++walk.unlistedDirectories;
    return;
  }
  while (!walk.out.failed() && listing->Next(walk.entry)) {
    WriteListedEntry(walk, directoryPath, walk.entry);
  }
}

}  // namespace

std::unique_ptr<DirectoryListing> StartListing(FileSystem& fs, std::string_view directoryPath) {
  IoError error = IoError::kNone;
  return fs.List(ListingPattern(directoryPath), error);
}

void WriteListedEntry(ShareWalk& walk, const std::string& directoryPath, const DirEntry& entry) {
  if (IsDotOrDotDot(entry.name)) return;
  if (WriteEntryLine(walk.out, directoryPath, entry, walk.line) || entry.nameAltered)
    ++walk.namesAltered;
}

bool IsSubdirectoryToWalk(const DirEntry& entry) {
  return (entry.attributes & kAttrDirectory) != 0 && !IsDotOrDotDot(entry.name);
}

std::string ChildPath(std::string_view directoryPath, std::string_view name) {
  std::string child(directoryPath);
  child += kPathSeparator;
  child += name;
  return child;
}

bool IsSameDirectory(FileSystem& fs, WalkedDirectory& directory, const DirectoryIdentity& target) {
  if (!directory.identityAsked) {
    directory.identityAsked = true;
    directory.identityKnown =
        fs.IdentifyDirectory(directory.path, directory.identity) == IoError::kNone;
  }
  return directory.identityKnown && directory.identity == target;
}

void WalkDirectory(ShareWalk& walk, const std::string& directoryPath) {
  if (walk.fs.ListsConcurrently()) {
    WalkDirectoryAhead(walk, directoryPath);
    return;
  }
  std::vector<Level> levels;
  WriteDirectoryBlock(walk, directoryPath);
  levels.emplace_back(directoryPath, StartListing(walk.fs, directoryPath));
  while (!levels.empty() && !walk.out.failed()) {
    Level& top = levels.back();
    if (top.subdirectories == nullptr || !top.subdirectories->Next(walk.entry)) {
      levels.pop_back();
      continue;
    }
    const DirEntry& entry = walk.entry;
    if (!IsSubdirectoryToWalk(entry)) continue;
    std::string child = ChildPath(top.path, entry.name);
    if ((entry.attributes & kAttrReparsePoint) != 0 && LeadsToAncestor(walk.fs, child, levels)) {
      ++walk.linksNotFollowed;
      continue;
    }
    WriteDirectoryBlock(walk, child);
    std::unique_ptr<DirectoryListing> subdirectories = StartListing(walk.fs, child);
    levels.emplace_back(std::move(child), std::move(subdirectories));
  }
}

void WriteShareSection(ShareWalk& walk, std::string_view computer, std::string_view share) {
  std::string text(kShareNameKey);
  text.append(share);
  if (ReplaceLineBreaks(text, kShareNameKey.size())) ++walk.namesAltered;
  WriteLine(walk.out, text);
  std::string root = "\\\\";
  root.append(computer);
  root += kPathSeparator;
  root.append(share);
  WalkDirectory(walk, root);
}

}  // namespace mv
