// Whether two paths lead to one file: the same file seen through another name, a link or a
// second hard link counts as the same, by the file system's identity of the file (device
// and inode, or volume and file index), not by comparing the names.
#pragma once

#include <cstdint>
#include <string>

namespace mv {

// True when both paths name an existing file and it is one file. False when either cannot
// be reached (a file not yet made is no other file).
bool IsSameFile(const std::string& first, const std::string& second);

// What tells one state of a file from another, for a reader that reads it again later in
// pieces: which file it is (volume and index, as IsSameFile compares them), its size and its
// last write. A file replaced under its name, grown, cut or written again has another stamp.
// Backends without file identities fill what they can (the in-memory one hashes the bytes).
struct FileStamp {
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  std::uint64_t size = 0;
  std::uint64_t written = 0;  // last write in the backend's own units
  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

}  // namespace mv
