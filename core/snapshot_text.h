// The bytes of one snapshot file as find, diff and export read it: whole, in one piece,
// through the one function below, so that how a file is read can change in one place.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace mv {

class SnapshotText {
 public:
  // The file's bytes, without the NUL the reader appends.
  std::string_view view() const {
    return bytes_.empty() ? std::string_view() : std::string_view(bytes_.data(), bytes_.size() - 1);
  }

 private:
  friend IoError ReadSnapshotText(FileSystem& fs, const std::string& path, SnapshotText& text);
  std::vector<char> bytes_;  // reused from one file to the next
};

// Reads the snapshot file at path whole, within the size any snapshot can have, replacing
// what text held. On an error text is empty.
IoError ReadSnapshotText(FileSystem& fs, const std::string& path, SnapshotText& text);

}  // namespace mv
