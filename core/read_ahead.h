// A file read in pieces one piece ahead of its reader, on a thread of its own: while the
// loader cuts one piece into lines, the next is copied out of the system's cache, so a pass
// over a large snapshot costs about the longer of the two rather than their sum.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/file_system.h"

namespace mv {

class ReadAhead {
 public:
  // Reads bytes [0, size) of input in pieces of pieceBytes. A file of one piece is read on
  // the caller's thread when it asks for it, with no thread started.
  ReadAhead(InputFile& input, std::uint64_t size, std::size_t pieceBytes)
      : ReadAhead(input, 0, size, pieceBytes) {}
  // Reads bytes [begin, end) of input, the first piece from begin on.
  ReadAhead(InputFile& input, std::uint64_t begin, std::uint64_t end, std::size_t pieceBytes);
  // Stops the reading thread and waits for it, also when the reader stops early.
  ~ReadAhead();
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  // The next piece, valid until the next call. False at the end of the file, or with failed
  // set when a read fails or comes short (the file was cut while it was read).
  bool Next(std::string_view& piece, bool& failed);

 private:
  struct Slot {
    std::vector<char> bytes;
    std::size_t size = 0;
    bool ready = false;  // filled and not yet handed out
  };
  // Reads piece index into its slot; false when the read fails or comes short.
  bool ReadPiece(std::uint64_t index, Slot& slot);
  void Run();

  InputFile& input_;
  std::uint64_t begin_;
  std::uint64_t size_;  // of the bytes read, from begin_
  std::size_t pieceBytes_;
  std::uint64_t pieces_;
  std::uint64_t next_ = 0;  // the piece Next hands out next
  Slot slots_[2];
  std::mutex mutex_;
  std::condition_variable changed_;
  bool stop_ = false;
  bool failed_ = false;     // a read of the thread failed; nothing after it is read
  bool handedOut_ = false;  // the slot of piece next_ - 1 is the caller's until the next call
  std::thread thread_;
};

}  // namespace mv
