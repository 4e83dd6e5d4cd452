// Buffered output of a snapshot file: bytes gather in one fixed buffer and go to the file
// when it is full, so the bytes on disk are those written, in fewer system calls. The
// first failure is kept and every later write is skipped, so the writer checks once.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace mv {

class SnapshotOutput {
 public:
  static constexpr std::size_t kDefaultBufferSize = 64 * 1024;

  explicit SnapshotOutput(OutputFile& file, std::size_t bufferSize = kDefaultBufferSize);
  SnapshotOutput(const SnapshotOutput&) = delete;
  SnapshotOutput& operator=(const SnapshotOutput&) = delete;

  void Write(std::string_view bytes);
  // Writes what is buffered, leaving the file open; the first failure so far.
  IoError Drain();
  // Writes what is buffered and closes the file; returns the first failure of the whole
  // life of the output (kNone only when every byte reached the file and it closed cleanly).
  IoError Finish();

  bool failed() const { return error_ != IoError::kNone; }
  IoError error() const { return error_; }

 private:
  void Flush();

  OutputFile& file_;
  std::vector<char> buffer_;
  std::size_t used_ = 0;
  IoError error_ = IoError::kNone;
  bool finished_ = false;
};

// Writes text then CR LF: one line of the file.
void WriteLine(SnapshotOutput& out, std::string_view text);

}  // namespace mv
