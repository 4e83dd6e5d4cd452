// Buffered, failure-keeping output of snapshot files, in an ANSI code page or in UTF-8.
#include "core/snapshot_output.h"

#include <algorithm>
#include <cstring>

#include "core/code_page_text.h"
#include "core/snapshot_format.h"
#include "platform/code_page.h"
#include "platform/utf8_text.h"

namespace mv {

SnapshotOutput::SnapshotOutput(OutputFile& file, std::size_t bufferSize)
    : file_(&file), buffer_(bufferSize == 0 ? 1 : bufferSize) {}

void SnapshotOutput::EncodeIn(unsigned codePage, Utf8Switch& change) {
  codePage_ = codePage;
  change_ = &change;
}

void SnapshotOutput::Write(std::string_view text) {
  if (failed() || finished_) return;
  if (codePage_ != 0 && !IsAscii(text)) {
    encoded_.clear();
    if (EncodeFitting(codePage_, text, encoded_)) {
      Put(encoded_);
      return;
    }
    SwitchToUtf8();
  }
  Put(text);
}

void SnapshotOutput::SwitchToUtf8() {
  Flush();
  codePage_ = 0;
  if (failed()) return;
  IoError error = IoError::kNone;
  OutputFile* next = change_->SwitchToUtf8(*file_, written_, error);
  if (next == nullptr) {
    error_ = error == IoError::kNone ? IoError::kOther : error;
    return;
  }
  file_ = next;
}

void SnapshotOutput::Put(std::string_view bytes) {
  if (failed() || finished_) return;
  written_ += bytes.size();
  if (bytes.size() > buffer_.size() - used_) {
    Flush();
    if (failed()) return;
    // A text larger than the whole buffer goes straight to the file, whole.
    if (bytes.size() >= buffer_.size()) {
      error_ = file_->Write(bytes.data(), bytes.size());
      return;
    }
  }
  std::memcpy(buffer_.data() + used_, bytes.data(), bytes.size());
  used_ += bytes.size();
}

void SnapshotOutput::Flush() {
  if (used_ == 0 || failed()) return;
  error_ = file_->Write(buffer_.data(), used_);
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
  const IoError closed = file_->Close();
  if (error_ == IoError::kNone) error_ = closed;
  return error_;
}

bool EncodeFitting(unsigned codePage, std::string_view utf8, std::string& out) {
  // A UTF-8 system code page has no 8-bit form: its snapshots declare UTF-8 too.
  if (codePage == kUtf8CodePage) return false;
  const std::size_t from = out.size();
  if (!EncodeCodePageText(codePage, utf8, out)) return false;
  const auto separators = [](std::string_view text) {
    return std::count(text.begin(), text.end(), kPathSeparator);
  };
  return separators(std::string_view(out).substr(from)) == separators(utf8);
}

void WriteLine(SnapshotOutput& out, std::string_view text) {
  out.Write(text);
  out.Write(kLineEnd);
}

}  // namespace mv
