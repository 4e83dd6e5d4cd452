// The bytes of one snapshot file as find, diff and export read it: whole, in one piece,
// through the one function below, so that how a file is read can change in one place.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/mapped_file.h"

namespace mv {

class SnapshotText {
 public:
  std::string_view view() const {
    if (mapping_ != nullptr) return mapping_->bytes();
    // Without the NUL the port appends.
    return bytes_.empty() ? std::string_view() : std::string_view(bytes_.data(), bytes_.size() - 1);
  }

 private:
  friend IoError ReadSnapshotText(FileSystem& fs, const std::string& path, SnapshotText& text);
  std::unique_ptr<MappedFile> mapping_;  // a file of the platform's own file system
  std::vector<char> bytes_;              // a file read through the port; reused
};

// Reads the snapshot file at path whole, within the size any snapshot can have, replacing
// what text held. On an error text is empty.
IoError ReadSnapshotText(FileSystem& fs, const std::string& path, SnapshotText& text);

}  // namespace mv
