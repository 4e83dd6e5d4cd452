// The walk of one share into a snapshot file: every directory is listed twice, once to write
// its whole content and once to descend into its subdirectories in listing order, so memory
// grows with the depth of the tree only.
#pragma once

#include <string>
#include <string_view>

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

// Writes "SHARENAME: <share>" (line breaks in the name replaced and counted, as in entry
// names) and walks \\<computer>\<share>, each name one path component. The error with which
// the share root could not be listed, else kNone (a share that lists as empty was listed).
IoError WriteShareSection(ShareWalk& walk, std::string_view computer, std::string_view share);

// Writes the entry lines of directoryPath, a share root, and of everything below it. A
// directory link that leads back to the directory holding it or to one above is written but
// not entered again. Returns early once the output has failed. The error with which the
// share root's own listing could not be started, else kNone.
IoError WalkDirectory(ShareWalk& walk, const std::string& directoryPath);

}  // namespace mv
