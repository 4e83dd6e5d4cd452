// Snapshot text, 8-bit in an ANSI code page, turned into UTF-8 for exports. Single-byte code
// pages become one table; two-byte code pages keep each character they met.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "core/snapshot_format.h"

namespace mv {

inline constexpr unsigned kDefaultCodePage = 1252;  // Windows Latin 1
inline constexpr unsigned kUtf8CodePage = 65001;    // text already in UTF-8: kept as it is

class CodePageDecoder {
 public:
  // Prepares the code page; false when the platform does not know it.
  bool Open(unsigned codePage);

  // Appends text as UTF-8. A byte or pair the code page does not define becomes U+FFFD; so
  // does, for text that is UTF-8 already, a byte that is no part of a well-formed character.
  void AppendUtf8(std::string_view text, std::string& out);

  // The decoder for the names of a snapshot that declares encoding: this one for the ANSI
  // code page, one that keeps well-formed UTF-8 for a snapshot in UTF-8.
  CodePageDecoder ForEncoding(NameEncoding encoding) const;

  // Whether every character of the code page is one byte.
  bool singleByte() const;

  // Spells UTF-8 text in this decoder's ANSI code page, one byte or two a character, as the
  // writer would have written it (EncodeFitting): the reverse of AppendUtf8 for the characters
  // the code page has. False, with bytes unspecified, for a character it lacks or whose form
  // holds a path separator byte, for text that is not well-formed UTF-8, and for UTF-8 itself.
  bool SpellInCodePage(std::string_view utf8, std::string& bytes) const;

 private:
  void AppendPair(char lead, char trail, std::string& out);

  unsigned codePage_ = kDefaultCodePage;
  bool passThrough_ = false;
  std::array<std::string, 128> high_;  // UTF-8 of bytes 0x80 to 0xFF; empty for a lead byte
  std::unordered_map<std::uint16_t, std::string> pairs_;
};

// Appends the UTF-8 form of a code point.
void AppendCodePoint(char32_t value, std::string& out);

// The length of the well-formed UTF-8 character at text[at] (1 for ASCII), or 0 when the
// bytes there begin none: no overlong forms, no surrogates, nothing above U+10FFFF.
std::size_t Utf8SequenceAt(std::string_view text, std::size_t at);

}  // namespace mv
