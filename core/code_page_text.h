// Snapshot text, 8-bit in an ANSI code page, turned into UTF-8 for exports. Single-byte code
// pages become one table; two-byte code pages keep each character they met.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace mv {

inline constexpr unsigned kDefaultCodePage = 1252;  // Windows Latin 1
inline constexpr unsigned kUtf8CodePage = 65001;    // text already in UTF-8: kept as it is

class CodePageDecoder {
 public:
  // Prepares the code page; false when the platform does not know it.
  bool Open(unsigned codePage);

  // Appends text as UTF-8. A byte or pair the code page does not define becomes U+FFFD.
  void AppendUtf8(std::string_view text, std::string& out);

 private:
  void AppendPair(char lead, char trail, std::string& out);

  unsigned codePage_ = kDefaultCodePage;
  bool passThrough_ = false;
  std::array<std::string, 128> high_;  // UTF-8 of bytes 0x80 to 0xFF; empty for a lead byte
  std::unordered_map<std::uint16_t, std::string> pairs_;
};

// Appends the UTF-8 form of a code point.
void AppendCodePoint(char32_t value, std::string& out);

}  // namespace mv
