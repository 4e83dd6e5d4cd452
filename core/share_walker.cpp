// Depth-first walk of a share: a directory's whole block first, then each subdirectory in
// listing order. The walk keeps an explicit stack of levels (path, open second listing,
// identity when it was needed), so neither the thread's stack nor memory grows with the
// number of entries.
#include "core/share_walker.h"

#include <memory>
#include <vector>

#include "core/entry_line.h"
#include "core/snapshot_format.h"

namespace mv {
namespace {

struct Level {
  Level(std::string directoryPath, std::unique_ptr<DirectoryListing> listing)
      : path(std::move(directoryPath)), subdirectories(std::move(listing)) {}

  std::string path;
  std::unique_ptr<DirectoryListing> subdirectories;  // null when it could not be started
  bool identityAsked = false;
  bool identityKnown = false;
  DirectoryIdentity identity;
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

std::unique_ptr<DirectoryListing> StartListing(FileSystem& fs, std::string_view directoryPath) {
  IoError error = IoError::kNone;
  return fs.List(ListingPattern(directoryPath), error);
}

// First listing: the directory's block, every entry but "." and "..".
void WriteDirectoryBlock(ShareWalk& walk, const std::string& directoryPath) {
  std::unique_ptr<DirectoryListing> listing = StartListing(walk.fs, directoryPath);
  if (listing == nullptr) {
    ++walk.unlistedDirectories;
    return;
  }
  while (!walk.out.failed() && listing->Next(walk.entry)) {
    if (IsDotOrDotDot(walk.entry.name)) continue;
    if (WriteEntryLine(walk.out, directoryPath, walk.entry, walk.line) || walk.entry.nameAltered)
      ++walk.namesAltered;
  }
}

// Whether the directory link at linkPath leads to one of the directories being walked.
// Only links pay for this: the ancestors' identities are asked once, when first needed.
bool LeadsToAncestor(FileSystem& fs, const std::string& linkPath, std::vector<Level>& levels) {
  DirectoryIdentity target;
  if (fs.IdentifyDirectory(linkPath, target) != IoError::kNone) return false;
  for (auto it = levels.rbegin(); it != levels.rend(); ++it) {
    if (!it->identityAsked) {
      it->identityAsked = true;
      it->identityKnown = fs.IdentifyDirectory(it->path, it->identity) == IoError::kNone;
    }
    if (it->identityKnown && it->identity == target) return true;
  }
  return false;
}

}  // namespace

void WalkDirectory(ShareWalk& walk, const std::string& directoryPath) {
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
    if ((entry.attributes & kAttrDirectory) == 0 || IsDotOrDotDot(entry.name)) continue;
    std::string child = top.path;
    child += kPathSeparator;
    child += entry.name;
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
