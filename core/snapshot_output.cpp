// Buffered, failure-keeping output of snapshot files.
#include "core/snapshot_output.h"

#include <cstring>

#include "core/snapshot_format.h"

namespace mv {

SnapshotOutput::SnapshotOutput(OutputFile& file, std::size_t bufferSize)
    : file_(file), buffer_(bufferSize == 0 ? 1 : bufferSize) {}

void SnapshotOutput::Write(std::string_view bytes) {
  if (failed() || finished_) return;
  if (bytes.size() > buffer_.size() - used_) {
    Flush();
    if (failed()) return;
    // A text larger than the whole buffer goes straight to the file, whole.
    if (bytes.size() >= buffer_.size()) {
      error_ = file_.Write(bytes.data(), bytes.size());
      return;
    }
  }
  std::memcpy(buffer_.data() + used_, bytes.data(), bytes.size());
  used_ += bytes.size();
}

void SnapshotOutput::Flush() {
  if (used_ == 0 || failed()) return;
  error_ = file_.Write(buffer_.data(), used_);
  used_ = 0;
}

IoError SnapshotOutput::Drain() {
  Flush();
  return error_;
}

IoError SnapshotOutput::Finish() {
  if (finished_) return error_;
  Flush();
  finished_ = true;
  const IoError closed = file_.Close();
  if (error_ == IoError::kNone) error_ = closed;
  return error_;
}

void WriteLine(SnapshotOutput& out, std::string_view text) {
  out.Write(text);
  out.Write(kLineEnd);
}

}  // namespace mv
