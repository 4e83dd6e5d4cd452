// Reading a file one piece ahead: see read_ahead.h.
#include "core/read_ahead.h"

#include <algorithm>

namespace mv {

ReadAhead::ReadAhead(InputFile& input, std::uint64_t begin, std::uint64_t end,
                     std::size_t pieceBytes)
    : input_(input),
      begin_(begin),
      size_(end > begin ? end - begin : 0),
      pieceBytes_(pieceBytes),
      pieces_(pieceBytes == 0 ? 0 : (size_ + pieceBytes - 1) / pieceBytes) {
  for (Slot& slot : slots_)
    slot.bytes.resize(static_cast<std::size_t>(std::min<std::uint64_t>(pieceBytes, size_)));
  if (pieces_ > 1) thread_ = std::thread([this] { Run(); });
}

ReadAhead::~ReadAhead() {
  {
    std::lock_guard<std::mutex> hold(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

bool ReadAhead::ReadPiece(std::uint64_t index, Slot& slot) {
  const std::uint64_t at = index * pieceBytes_;
  const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(pieceBytes_, size_ - at));
  std::size_t got = 0;
  if (input_.ReadAt(begin_ + at, slot.bytes.data(), want, got) != IoError::kNone || got != want) {
    return false;
  }
  slot.size = got;
  return true;
}

void ReadAhead::Run() {
  for (std::uint64_t index = 0; index < pieces_; ++index) {
    Slot& slot = slots_[index % 2];
    {
      // The slot is free once the caller has taken the piece before it back.
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [&] { return stop_ || !slot.ready; });
      if (stop_) return;
    }
    // The slot is this thread's alone until it is marked ready.
    const bool read = ReadPiece(index, slot);
    {
      std::lock_guard<std::mutex> hold(mutex_);
      if (read) {
        slot.ready = true;
      } else {
        failed_ = true;
      }
    }
    changed_.notify_all();
    if (!read) return;
  }
}

bool ReadAhead::Next(std::string_view& piece, bool& failed) {
  failed = false;
  if (!thread_.joinable()) {
    // One piece at most, read here.
    if (next_ >= pieces_) return false;
    if (!ReadPiece(next_++, slots_[0])) {
      failed = true;
      return false;
    }
    piece = std::string_view(slots_[0].bytes.data(), slots_[0].size);
    return true;
  }
  std::unique_lock<std::mutex> lock(mutex_);
  if (handedOut_) {
    // The piece handed out last goes back to the thread.
    slots_[(next_ - 1) % 2].ready = false;
    handedOut_ = false;
    changed_.notify_all();
  }
  if (next_ >= pieces_) return false;
  Slot& slot = slots_[next_ % 2];
  changed_.wait(lock, [&] { return slot.ready || failed_; });
  if (!slot.ready) {
    failed = true;
    return false;
  }
  ++next_;
  handedOut_ = true;
  piece = std::string_view(slot.bytes.data(), slot.size);
  return true;
}

}  // namespace mv
