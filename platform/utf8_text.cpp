// Strict UTF-8 decoding: the forms RFC 3629 allows and nothing else.
#include "platform/utf8_text.h"

namespace mv {
namespace {

constexpr char kAltered = '?';

bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

}  // namespace

bool NextCodePoint(std::string_view text, std::size_t& at, char32_t& value) {
  const auto lead = static_cast<unsigned char>(text[at]);
  std::size_t length = 1;
  char32_t least = 0;
  if (lead < 0x80) {
    value = lead;
    ++at;
    return true;
  }
  if (lead >= 0xC2 && lead < 0xE0) {
    length = 2;
    value = lead & 0x1F;
    least = 0x80;
  } else if (lead >= 0xE0 && lead < 0xF0) {
    length = 3;
    value = lead & 0x0F;
    least = 0x800;
  } else if (lead >= 0xF0 && lead < 0xF5) {
    length = 4;
    value = lead & 0x07;
    least = 0x10000;
  } else {
    ++at;
    return false;
  }
  if (text.size() - at < length) {
    ++at;
    return false;
  }
  for (std::size_t i = 1; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(text[at + i]);
    if (!IsContinuation(byte)) {
      ++at;
      return false;
    }
    value = (value << 6) | (byte & 0x3F);
  }
  if (value < least || value > 0x10FFFF || (value >= 0xD800 && value < 0xE000)) {
    ++at;
    return false;
  }
  at += length;
  return true;
}

bool ReplaceInvalidUtf8(std::string& text, std::size_t from) {
  bool replaced = false;
  std::size_t at = from;
  while (at < text.size()) {
    if (static_cast<unsigned char>(text[at]) < 0x80) {
      ++at;
      continue;
    }
    const std::size_t start = at;
    char32_t value = 0;
    if (!NextCodePoint(text, at, value)) {
      text[start] = kAltered;
      replaced = true;
    }
  }
  return replaced;
}

bool IsAscii(std::string_view text) {
  // Blocks of bytes or'ed together, a loop the compiler turns into vector code.
  constexpr std::size_t kBlock = 32;
  std::size_t at = 0;
  for (; at + kBlock <= text.size(); at += kBlock) {
    unsigned char bits = 0;
    for (std::size_t i = 0; i < kBlock; ++i) bits |= static_cast<unsigned char>(text[at + i]);
    if (bits >= 0x80) return false;
  }
  unsigned char bits = 0;
  for (; at < text.size(); ++at) bits |= static_cast<unsigned char>(text[at]);
  return bits < 0x80;
}

}  // namespace mv
