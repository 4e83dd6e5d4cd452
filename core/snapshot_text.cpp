// Reading a snapshot file whole for the scans of find, diff and export: mapped where the
// platform's own file system holds it, else read through the file-system port.
#include "core/snapshot_text.h"

#include <new>

#include "core/loaded_snapshot.h"

namespace mv {

IoError ReadSnapshotText(FileSystem& fs, const std::string& path, SnapshotText& text) {
  text.mapping_.reset();  // the previous file goes first
  // A mapping copies nothing and fills no buffer: a read costs about as much again as a scan.
  // Only a mapping that fails after the file opened falls back to the port.
  if (&fs == &PlatformFileSystem()) {
    IoError error = IoError::kNone;
    text.mapping_ = MapFileExclusive(path, kMaxSnapshotBytes, error);
    if (text.mapping_ != nullptr) std::vector<char>().swap(text.bytes_);
    if (error != IoError::kOther) return error;
  }
  IoError error = IoError::kOther;
  try {
    // A buffer the last file nearly filled is given back first and taken again with room to
    // spare: the files of a library differ a little in size, and a buffer grown by the read
    // itself would hold the old and the new storage at the same moment.
    std::vector<char>& bytes = text.bytes_;
    const std::size_t used = bytes.size();
    if (used > bytes.capacity() - bytes.capacity() / 8) {
      std::vector<char>().swap(bytes);
      bytes.reserve(used + used / 4);
    }
    error = fs.ReadWholeExclusive(path, kMaxSnapshotBytes, bytes);
  } catch (const std::bad_alloc&) {
    error = IoError::kOther;  // no room for the file: it cannot be read
  }
  if (error != IoError::kNone) {
    text.bytes_.clear();
  } else if (text.bytes_.empty() || text.bytes_.back() != '\0') {
    text.bytes_.push_back('\0');  // view() drops one NUL, whichever backend read the file
  }
  return error;
}

}  // namespace mv
