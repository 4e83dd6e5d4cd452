// Cutting a snapshot file into lines as its bytes come, piece after piece, without holding
// more than the piece at hand and the line that runs on past it. A line ends at CR or LF;
// empty lines are no lines; a NUL inside a line ends its text there (the rest up to the line
// end is not read). Each line is handed over with the file offset of its first byte.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/byte_words.h"

namespace mv {

// The longest line text the cutter carries from one piece into the next. The writer writes
// no line near it (a path of 32,767 characters of up to three bytes each, and its fields), so
// a longer one marks a file that is no snapshot; the reader reports it instead of growing
// without bound.
inline constexpr std::size_t kMaxLineBytes = std::size_t{1} << 20;

namespace line_bits {

// Bytes are sorted 64 at a time: one bit per byte says whether it is CR or LF, and one flag
// whether the block holds a NUL anywhere.
inline constexpr std::size_t kBlockBytes = 64;

struct BlockBits {
  std::uint64_t breaks = 0;
  bool hasNul = false;
};

#if defined(__SSE2__)
inline BlockBits SortBlock(const char* block) {
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  BlockBits bits;
  __m128i least = _mm_set1_epi8(-1);
  for (std::size_t k = 0; k < kBlockBytes / 16; ++k) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * k));
    const auto isBreak = static_cast<std::uint32_t>(
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf))));
    bits.breaks |= std::uint64_t{isBreak} << (16 * k);
    least = _mm_min_epu8(least, bytes);
  }
  bits.hasNul = _mm_movemask_epi8(_mm_cmpeq_epi8(least, _mm_setzero_si128())) != 0;
  return bits;
}
#else
inline BlockBits SortBlock(const char* block) {
  static_assert(words::kUsable, "bytes are gathered first lowest");
  BlockBits bits;
  std::uint64_t nuls = 0;
  for (std::size_t k = 0; k < kBlockBytes / 8; ++k) {
    const std::uint64_t word = words::Load(block + 8 * k);
    const std::uint64_t breaks = words::BytesEqual(word, '\r') | words::BytesEqual(word, '\n');
    // The top bits of the eight bytes gathered into eight bits, first byte lowest.
    bits.breaks |= (((breaks >> 7) * 0x0102040810204080u) >> 56) << (8 * k);
    nuls |= words::ZeroBytes(word);
  }
  bits.hasNul = nuls != 0;
  return bits;
}
#endif

}  // namespace line_bits

class LineCutter {
 public:
  enum class Status { kGoOn, kStopped, kLineTooLong };

  // Starts over at file offset `offset`: the next byte fed is the byte there, and a line
  // open before is forgotten.
  void Restart(std::uint64_t offset) {
    base_ = offset;
    lineStart_ = textEnd_ = kNone;
    pending_.clear();
  }

  // Cuts the next bytes of the file. visit(start, text) is called for each line as soon as
  // its end is found and returns whether to go on; kStopped once it says no.
  template <typename Visit>
  Status Feed(std::string_view bytes, Visit&& visit) {
    const char* data = bytes.data();
    const std::size_t size = bytes.size();
    // Ends the open line at index at of bytes.
    auto endLine = [&](std::size_t at) {
      const std::uint64_t stop = Min(base_ + at, textEnd_);
      std::string_view text;
      if (lineStart_ >= base_) {
        text = std::string_view(data + (lineStart_ - base_),
                                static_cast<std::size_t>(stop - lineStart_));
      } else {
        if (stop > base_) pending_.append(data, static_cast<std::size_t>(stop - base_));
        text = pending_;
      }
      const bool goOn = visit(lineStart_, text);
      pending_.clear();
      lineStart_ = textEnd_ = kNone;
      return goOn;
    };
    // Byte by byte, noting where a line's text stops.
    auto bytewise = [&](std::size_t from, std::size_t to) {
      for (std::size_t at = from; at < to; ++at) {
        const char c = data[at];
        const bool isBreak = c == '\r' || c == '\n';
        if (lineStart_ == kNone && !isBreak) {
          lineStart_ = base_ + at;
        } else if (lineStart_ != kNone && isBreak) {
          if (!endLine(at)) return false;
        }
        if (lineStart_ != kNone && c == '\0' && textEnd_ == kNone) textEnd_ = base_ + at;
      }
      return true;
    };
    constexpr std::size_t kBlock = line_bits::kBlockBytes;
    const std::size_t whole = size - size % kBlock;
    for (std::size_t block = 0; block < whole; block += kBlock) {
      const line_bits::BlockBits sorted = line_bits::SortBlock(data + block);
      const std::uint64_t breaks = sorted.breaks;
      if (sorted.hasNul) {
        if (!bytewise(block, block + kBlock)) return Status::kStopped;
        continue;
      }
      // A line starts at a byte that is no break after one that is, and ends at a break after
      // one that is not; the byte before the block counts as a break when no line is open.
      const std::uint64_t before = (breaks << 1) | (lineStart_ == kNone ? 1 : 0);
      std::uint64_t starts = ~breaks & before;
      for (std::uint64_t ends = breaks & ~before; ends != 0; ends &= ends - 1) {
        const int at = std::countr_zero(ends);
        const std::uint64_t startsBefore = starts & ((std::uint64_t{1} << at) - 1);
        if (startsBefore != 0) {
          lineStart_ =
              base_ + block + 63 - static_cast<std::size_t>(std::countl_zero(startsBefore));
        }
        starts &= ~startsBefore;
        if (!endLine(block + static_cast<std::size_t>(at))) return Status::kStopped;
      }
      if (starts != 0) {
        lineStart_ = base_ + block + 63 - static_cast<std::size_t>(std::countl_zero(starts));
      }
    }
    if (!bytewise(whole, size)) return Status::kStopped;
    // The open line's text so far goes with it into the next piece.
    if (lineStart_ != kNone) {
      const std::uint64_t from = lineStart_ > base_ ? lineStart_ : base_;
      const std::uint64_t to = Min(base_ + size, textEnd_);
      if (to > from) pending_.append(data + (from - base_), static_cast<std::size_t>(to - from));
    }
    base_ += size;
    return pending_.size() > kMaxLineBytes ? Status::kLineTooLong : Status::kGoOn;
  }

  // The file ends: a line still open ends with it.
  template <typename Visit>
  Status Finish(Visit&& visit) {
    if (lineStart_ == kNone) return Status::kGoOn;
    const std::uint64_t start = lineStart_;
    lineStart_ = textEnd_ = kNone;
    const bool goOn = visit(start, std::string_view(pending_));
    pending_.clear();
    return goOn ? Status::kGoOn : Status::kStopped;
  }

 private:
  static constexpr std::uint64_t kNone = ~std::uint64_t{0};
  static std::uint64_t Min(std::uint64_t a, std::uint64_t b) { return a < b ? a : b; }

  std::uint64_t base_ = 0;           // file offset of the next byte fed
  std::uint64_t lineStart_ = kNone;  // where the open line began; none after a line end
  std::uint64_t textEnd_ = kNone;    // where the open line's first NUL stands
  std::string pending_;              // the open line's text from earlier pieces
};

}  // namespace mv
