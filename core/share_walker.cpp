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
  Level(std::string directoryPath, std::string writtenPath,
        std::unique_ptr<DirectoryListing> listing)
      : WalkedDirectory(std::move(directoryPath)),
        written(std::move(writtenPath)),
        subdirectories(std::move(listing)) {}

  std::string written;  // relative to the share root, as the snapshot holds it
  std::unique_ptr<DirectoryListing> subdirectories;  // null when it could not be started
};

std::string ListingPattern(std::string_view directoryPath) {
  std::string pattern(directoryPath);
  pattern += kPathSeparator;
  pattern += "*.*";
  return pattern;
}

// First listing: the directory's block, every entry but "." and "..". The error when the
// listing could not be started.
IoError WriteDirectoryBlock(ShareWalk& walk, const std::string& directoryPath,
                            std::string_view writtenPath) {
  IoError error = IoError::kNone;
  std::unique_ptr<DirectoryListing> listing = StartListing(walk.fs, directoryPath, &error);
  if (listing == nullptr) {
    ++walk.unlistedDirectories;
    return error;
  }
  while (!walk.out.failed() && listing->Next(walk.entry)) {
    WriteListedEntry(walk, writtenPath, walk.entry);
  }
  return IoError::kNone;
}

}  // namespace

std::unique_ptr<DirectoryListing> StartListing(FileSystem& fs, std::string_view directoryPath,
                                               IoError* error) {
  IoError listError = IoError::kNone;
  std::unique_ptr<DirectoryListing> listing = fs.List(ListingPattern(directoryPath), listError);
  if (error != nullptr) {
    *error = listing != nullptr            ? IoError::kNone
             : listError == IoError::kNone ? IoError::kOther
                                           : listError;
  }
  return listing;
}

void WriteListedEntry(ShareWalk& walk, std::string_view writtenPath, const DirEntry& entry) {
  if (entry.name == "." || entry.name == "..") return;
  if (WriteEntryLine(walk.out, writtenPath, entry, walk.line) || entry.nameAltered)
    ++walk.namesAltered;
}

bool IsSubdirectoryToWalk(const DirEntry& entry) {
  // "." and ".." lead back up; a name is one component, whatever it holds.
  return (entry.attributes & kAttrDirectory) != 0 && IsEnterableName(entry.name);
}

std::string ChildPath(std::string_view directoryPath, std::string_view name) {
  std::string child(directoryPath);
  AppendPathComponent(child, name);
  return child;
}

std::string WrittenChildPath(std::string_view parentWritten, std::string_view name) {
  std::string written;
  AppendWrittenChildPath(written, parentWritten, name);
  return written;
}

bool IsSameDirectory(FileSystem& fs, WalkedDirectory& directory, const DirectoryIdentity& target) {
  if (!directory.identityAsked) {
    directory.identityAsked = true;
    directory.identityKnown =
        fs.IdentifyDirectory(directory.path, directory.identity) == IoError::kNone;
  }
  return directory.identityKnown && directory.identity == target;
}

IoError WalkDirectory(ShareWalk& walk, const std::string& directoryPath) {
  if (walk.fs.ListsConcurrently()) return WalkDirectoryAhead(walk, directoryPath);
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
    if (!IsSubdirectoryToWalk(entry)) continue;
    std::string child = ChildPath(top.path, entry.name);
    if ((entry.attributes & kAttrReparsePoint) != 0 && LeadsToAncestor(walk.fs, child, levels)) {
      ++walk.linksNotFollowed;
      continue;
    }
    std::string written = WrittenChildPath(top.written, entry.name);
    WriteDirectoryBlock(walk, child, written);
    std::unique_ptr<DirectoryListing> subdirectories = StartListing(walk.fs, child);
    levels.emplace_back(std::move(child), std::move(written), std::move(subdirectories));
  }
  return rootError;
}

IoError WriteShareSection(ShareWalk& walk, std::string_view computer, std::string_view share) {
  std::string text(kShareNameKey);
  text.append(share);
  if (ReplaceUnwritable(text, kShareNameKey.size())) ++walk.namesAltered;
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
