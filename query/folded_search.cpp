// Case-blind search eight bytes at a time: a word is looked at only where both the first
// and the last byte of the text sought could stand, and each such place is checked exactly.
#include "query/folded_search.h"

#include <cstdint>

#include "core/byte_words.h"
#include "core/text.h"

namespace mv {
namespace {

constexpr std::uint64_t kCaseBits = words::kOnes * 0x20;

// Setting bit 5 folds the case of letters; other bytes may fold onto each other, which
// again only costs an exact check.
unsigned char Folded(char c) {
  return static_cast<unsigned char>(static_cast<unsigned char>(c) | 0x20u);
}

bool EqualsLowered(const char* text, std::string_view lowered) {
  for (std::size_t k = 0; k < lowered.size(); ++k) {
    if (AsciiLower(text[k]) != lowered[k]) return false;
  }
  return true;
}

}  // namespace

std::size_t FindIgnoringCase(std::string_view text, std::string_view lowered, std::size_t from) {
  const std::size_t n = lowered.size();
  if (from > text.size()) return std::string_view::npos;
  if (n == 0) return from;
  if (n > text.size() - from) return std::string_view::npos;
  const char* const base = text.data();
  const std::size_t lastStart = text.size() - n;
  std::size_t i = from;
  if constexpr (words::kUsable) {
    const unsigned char first = Folded(lowered[0]);
    const unsigned char last = Folded(lowered[n - 1]);
    // Both words lie inside the text while i + 8 <= lastStart + 1.
    for (; i + 8 <= lastStart + 1; i += 8) {
      std::uint64_t marks = words::BytesEqual(words::Load(base + i) | kCaseBits, first) &
                            words::BytesEqual(words::Load(base + i + n - 1) | kCaseBits, last);
      while (marks != 0) {
        const std::size_t at = i + words::FirstMarked(marks);
        if (EqualsLowered(base + at, lowered)) return at;
        marks &= marks - 1;
      }
    }
  }
  for (; i <= lastStart; ++i) {
    if (EqualsLowered(base + i, lowered)) return i;
  }
  return std::string_view::npos;
}

}  // namespace mv
