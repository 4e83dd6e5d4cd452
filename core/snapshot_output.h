// Buffered output of a snapshot file: bytes gather in one fixed buffer and go to the file
// when it is full, so the bytes on disk are those written, in fewer system calls. The
// first failure is kept and every later write is skipped, so the writer checks once. Text
// may go into an ANSI code page on its way (EncodeIn).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace mv {

// Carries a snapshot being written in an ANSI code page over to UTF-8, once a name does not
// fit the code page.
class Utf8Switch {
 public:
  virtual ~Utf8Switch() = default;
  // Everything written so far, size bytes, is in current. Returns the file that goes on in
  // UTF-8, holding those bytes in UTF-8 with the header's ENCODING line; current is no
  // longer used. Null, with error set, when that could not be done.
  virtual OutputFile* SwitchToUtf8(OutputFile& current, std::uint64_t size, IoError& error) = 0;
};

class SnapshotOutput {
 public:
  static constexpr std::size_t kDefaultBufferSize = 64 * 1024;

  explicit SnapshotOutput(OutputFile& file, std::size_t bufferSize = kDefaultBufferSize);
  SnapshotOutput(const SnapshotOutput&) = delete;
  SnapshotOutput& operator=(const SnapshotOutput&) = delete;

  // Writes text. Once EncodeIn was called, text is UTF-8 and goes into the code page.
  void Write(std::string_view text);

  // From here on, text is UTF-8, written in the ANSI code page codePage as long as every text
  // fits it exactly; the first that does not makes change carry the output over to UTF-8,
  // at most once. A text that is all ASCII is the same in both and costs no conversion.
  void EncodeIn(unsigned codePage, Utf8Switch& change);
  // Bytes written so far, buffered or not (before a switch: in the code page).
  std::uint64_t written() const { return written_; }
  // Writes what is buffered, leaving the file open; the first failure so far.
  IoError Drain();
  // Writes what is buffered and closes the file; returns the first failure of the whole
  // life of the output (kNone only when every byte reached the file and it closed cleanly).
  IoError Finish();

  bool failed() const { return error_ != IoError::kNone; }
  IoError error() const { return error_; }

 private:
  void Flush();
  void Put(std::string_view bytes);
  void SwitchToUtf8();

  OutputFile* file_;
  std::vector<char> buffer_;
  std::size_t used_ = 0;
  std::uint64_t written_ = 0;
  unsigned codePage_ = 0;  // 0: text is written as it comes
  Utf8Switch* change_ = nullptr;
  std::string encoded_;  // scratch text in the code page
  IoError error_ = IoError::kNone;
  bool finished_ = false;
};

// Appends utf8 to out in the ANSI code page codePage when it fits there: each character has an
// exact form (EncodeCodePageText) and none holds a path separator byte, at which every reader
// would cut the name (a trail byte of many two-byte characters: "\u30bd" is 83 5C in code page
// 932). False otherwise, with out holding bytes that mean nothing.
bool EncodeFitting(unsigned codePage, std::string_view utf8, std::string& out);

// Writes text then CR LF: one line of the file.
void WriteLine(SnapshotOutput& out, std::string_view text);

}  // namespace mv
