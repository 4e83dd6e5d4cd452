// The walk of one share into a snapshot file: every directory is listed twice, once to write
// its whole content and once to descend into its subdirectories in listing order, so memory
// grows with the depth of the tree only. Over a file system that takes listings from several
// threads at once the listings are fetched ahead instead (core/share_walk_ahead.h), into the
// same bytes.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/snapshot_output.h"
#include "platform/file_system.h"

namespace mv {

// What one writer carries through its shares.
struct ShareWalk {
  ShareWalk(FileSystem& fileSystem, SnapshotOutput& output) : fs(fileSystem), out(output) {}

  FileSystem& fs;
  SnapshotOutput& out;
  int unlistedDirectories = 0;  // directories whose first listing could not be started
  int linksNotFollowed = 0;     // directory links that lead back to a directory above them
  // Entries whose name was written altered: line breaks replaced here, or characters the
  // backend could not convert (DirEntry::nameAltered).
  int namesAltered = 0;
  std::string line;  // scratch text of the entry line being written
  DirEntry entry;    // scratch find record
};

// Writes "SHARENAME: <share>" (line breaks and stray bytes in the name replaced and
// counted, as in entry names) and walks \\<computer>\<share>, each name one path component. The
// error with which the share root could not be listed, else kNone (a share that lists as empty was
// listed).
IoError WriteShareSection(ShareWalk& walk, std::string_view computer, std::string_view share);

// Writes the entry lines of directoryPath, a share root, and of everything below it. A
// directory link that leads back to the directory holding it or to one above is written but
// not entered again. Returns early once the output has failed. The error with which the
// share root's own listing could not be started, else kNone.
// A file system whose listings may run on several threads at once (ListsConcurrently) is
// walked with its listings fetched ahead (WalkDirectoryAhead); the file is the same.
IoError WalkDirectory(ShareWalk& walk, const std::string& directoryPath);

// The steps both walks share.

// Starts a listing of every entry of directoryPath; null when it cannot be started, with
// the reason in *error when asked for (never kNone then).
std::unique_ptr<DirectoryListing> StartListing(FileSystem& fs, std::string_view directoryPath,
                                               IoError* error = nullptr);

// Writes the line of one entry listed in the directory whose written relative path is
// writtenPath ("." and ".." have none) and counts an altered name.
void WriteListedEntry(ShareWalk& walk, std::string_view writtenPath, const DirEntry& entry);

// Whether the walk descends into a listed entry: a directory whose name may be entered (not
// "." or "..").
bool IsSubdirectoryToWalk(const DirEntry& entry);

// The path the file system takes for the subdirectory `name`: one component, whatever it
// holds.
std::string ChildPath(std::string_view directoryPath, std::string_view name);
// The subdirectory's relative path as the snapshot writes it (AppendWrittenChildPath).
std::string WrittenChildPath(std::string_view parentWritten, std::string_view name);

// A directory on the path being walked, with its identity once a link needed it.
struct WalkedDirectory {
  explicit WalkedDirectory(std::string directoryPath) : path(std::move(directoryPath)) {}
  std::string path;
  bool identityAsked = false;
  bool identityKnown = false;
  DirectoryIdentity identity;
};

// Whether directory is the one whose identity is target; its identity is asked once.
bool IsSameDirectory(FileSystem& fs, WalkedDirectory& directory, const DirectoryIdentity& target);

// Whether the directory link at linkPath leads to one of the directories being walked
// (levels: the path from the share root down, each level a WalkedDirectory). Only links pay
// for this: the ancestors' identities are asked once, when first needed.
template <typename Level>
bool LeadsToAncestor(FileSystem& fs, const std::string& linkPath, std::vector<Level>& levels) {
  DirectoryIdentity target;
  if (fs.IdentifyDirectory(linkPath, target) != IoError::kNone) return false;
  for (auto it = levels.rbegin(); it != levels.rend(); ++it) {
    if (IsSameDirectory(fs, *it, target)) return true;
  }
  return false;
}

}  // namespace mv
