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
  Level(std::string directoryPath, std::string writtenPath,
        std::unique_ptr<DirectoryListing> listing)
      : path(std::move(directoryPath)),
        written(std::move(writtenPath)),
        subdirectories(std::move(listing)) {}

  std::string path;     // as the file system takes it
  std::string written;  // relative to the share root, as the snapshot holds it
  std::unique_ptr<DirectoryListing> subdirectories;  // null when it could not be started
  bool identityAsked = false;
  bool identityKnown = false;
  DirectoryIdentity identity;
};

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

// First listing: the directory's block, every entry but "." and "..". The error when the
// listing could not be started.
IoError WriteDirectoryBlock(ShareWalk& walk, const std::string& directoryPath,
                            std::string_view writtenPath) {
  IoError error = IoError::kNone;
  std::unique_ptr<DirectoryListing> listing = walk.fs.List(ListingPattern(directoryPath), error);
  if (listing == nullptr) {
    ++walk.unlistedDirectories;
    return error == IoError::kNone ? IoError::kOther : error;
  }
  while (!walk.out.failed() && listing->Next(walk.entry)) {
    if (walk.entry.name == "." || walk.entry.name == "..") continue;
    if (WriteEntryLine(walk.out, writtenPath, walk.entry, walk.line) || walk.entry.nameAltered)
      ++walk.namesAltered;
  }
  return IoError::kNone;
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

IoError WalkDirectory(ShareWalk& walk, const std::string& directoryPath) {
  std::vector<Level> levels;
  const IoError rootError = WriteDirectoryBlock(walk, directoryPath, {});
  levels.emplace_back(directoryPath, std::string(), StartListing(walk.fs, directoryPath));
  while (!levels.empty() && !walk.out.failed()) {
    Level& top = levels.back();
    if (top.subdirectories == nullptr || !top.subdirectories->Next(walk.entry)) {
      levels.pop_back();
      continue;
    }
    const DirEntry& entry = walk.entry;
    // "." and ".." lead back up; a name is one component, whatever it holds.
    if ((entry.attributes & kAttrDirectory) == 0 || !IsEnterableName(entry.name)) continue;
    std::string child = top.path;
    AppendPathComponent(child, entry.name);
    if ((entry.attributes & kAttrReparsePoint) != 0 && LeadsToAncestor(walk.fs, child, levels)) {
      ++walk.linksNotFollowed;
      continue;
    }
    std::string written;
    AppendWrittenChildPath(written, top.written, entry.name);
    WriteDirectoryBlock(walk, child, written);
    std::unique_ptr<DirectoryListing> subdirectories = StartListing(walk.fs, child);
    levels.emplace_back(std::move(child), std::move(written), std::move(subdirectories));
  }
  return rootError;
}

IoError WriteShareSection(ShareWalk& walk, std::string_view computer, std::string_view share) {
  std::string text(kShareNameKey);
  text.append(share);
  if (ReplaceLineBreaks(text, kShareNameKey.size())) ++walk.namesAltered;
  WriteLine(walk.out, text);
  // A share or computer named "." or ".." would lead out of the computer or the network.
  if (!IsEnterableName(computer) || !IsEnterableName(share)) {
    ++walk.unlistedDirectories;
    return IoError::kNotFound;
  }
  std::string root(1, kPathSeparator);  // the second one comes with the computer's name
  AppendPathComponent(root, computer);
  AppendPathComponent(root, share);
  return WalkDirectory(walk, root);
}

}  // namespace mv
