// Eight bytes at a time: the word tricks that the case-blind search, the line scan and the
// comparison hash share. Words are read in native order; callers use them where the first
// byte is the lowest (little-endian machines) and fall back to bytes elsewhere.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace mv::words {

inline constexpr bool kUsable = std::endian::native == std::endian::little;
inline constexpr std::uint64_t kOnes = 0x0101010101010101u;
inline constexpr std::uint64_t kHighBits = 0x8080808080808080u;
inline constexpr std::uint64_t kLowBits = ~kHighBits;

inline std::uint64_t Load(const char* p) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

// The bytes of word that are zero, each marked by its top bit, exactly.
inline std::uint64_t ZeroBytes(std::uint64_t word) {
  return ~(((word & kLowBits) + kLowBits) | word | kLowBits);
}

// The bytes of word equal to byte, marked as ZeroBytes marks them.
inline std::uint64_t BytesEqual(std::uint64_t word, unsigned char byte) {
  return ZeroBytes(word ^ (kOnes * byte));
}

// Index of the byte that holds the lowest or the highest mark.
inline unsigned FirstMarked(std::uint64_t marks) {
  return static_cast<unsigned>(std::countr_zero(marks)) / 8;
}
inline unsigned LastMarked(std::uint64_t marks) {
  return 7 - static_cast<unsigned>(std::countl_zero(marks)) / 8;
}

// ASCII upper-case letters of eight bytes turned to lower case, the other bytes unchanged.
inline std::uint64_t LowerAscii(std::uint64_t word) {
  const std::uint64_t low7 = word & kLowBits;
  const std::uint64_t fromA = low7 + kOnes * (0x80 - 'A');      // top bit: at least 'A'
  const std::uint64_t pastZ = low7 + kOnes * (0x80 - 'Z' - 1);  // top bit: beyond 'Z'
  return word | (((fromA & ~pastZ & ~word & kHighBits)) >> 2);
}

}  // namespace mv::words
