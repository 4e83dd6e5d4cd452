// Code-page text to UTF-8 through the platform's code-page port, asked once per byte value
// and once per two-byte character met.
#include "core/code_page_text.h"

#include "core/snapshot_output.h"
#include "platform/code_page.h"

namespace mv {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

}  // namespace

void AppendCodePoint(char32_t value, std::string& out) {
  if (value > 0x10FFFF || (value >= 0xD800 && value < 0xE000)) value = kReplacement;
  auto byte = [](char32_t bits) { return static_cast<char>(static_cast<unsigned char>(bits)); };
  if (value < 0x80) {
    out += byte(value);
  } else if (value < 0x800) {
    out += byte(0xC0 | (value >> 6));
    out += byte(0x80 | (value & 0x3F));
  } else if (value < 0x10000) {
    out += byte(0xE0 | (value >> 12));
    out += byte(0x80 | ((value >> 6) & 0x3F));
    out += byte(0x80 | (value & 0x3F));
  } else {
    out += byte(0xF0 | (value >> 18));
    out += byte(0x80 | ((value >> 12) & 0x3F));
    out += byte(0x80 | ((value >> 6) & 0x3F));
    out += byte(0x80 | (value & 0x3F));
  }
}

std::size_t Utf8SequenceAt(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // bounds of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() - at < length || byte(at + 1) < low || byte(at + 1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if (byte(at + k) < 0x80 || byte(at + k) > 0xBF) return 0;
  }
  return length;
}

bool CodePageDecoder::Open(unsigned codePage) {
  codePage_ = codePage;
  passThrough_ = codePage == kUtf8CodePage;
  pairs_.clear();
  if (passThrough_) return true;
  for (unsigned b = 0x80; b <= 0xFF; ++b) {
    const char c = static_cast<char>(b);
    CodePageCharacter character;
    if (!DecodeCodePageCharacter(codePage, std::string_view(&c, 1), character)) return false;
    std::string& utf8 = high_[b - 0x80];
    utf8.clear();
    if (character.kind == CodePageCharacter::Kind::kIncomplete) continue;  // a lead byte
    AppendCodePoint(
        character.kind == CodePageCharacter::Kind::kCharacter ? character.value : kReplacement,
        utf8);
  }
  return true;
}

CodePageDecoder CodePageDecoder::ForEncoding(NameEncoding encoding) const {
  if (encoding == NameEncoding::kAnsi) return *this;
  CodePageDecoder utf8;
  utf8.Open(kUtf8CodePage);
  return utf8;
}

bool CodePageDecoder::singleByte() const {
  if (passThrough_) return false;
  for (const std::string& utf8 : high_) {
    if (utf8.empty()) return false;
  }
  return true;
}

bool CodePageDecoder::SpellInCodePage(std::string_view utf8, std::string& bytes) const {
  bytes.clear();
  return EncodeFitting(codePage_, utf8, bytes);
}

void CodePageDecoder::AppendUtf8(std::string_view text, std::string& out) {
  std::size_t i = 0;
  if (passThrough_) {
    while (i < text.size()) {
      std::size_t plain = i;
      while (plain < text.size() && static_cast<unsigned char>(text[plain]) < 0x80) ++plain;
      const std::size_t length = plain < text.size() ? Utf8SequenceAt(text, plain) : 0;
      out.append(text.data() + i, plain - i + length);
      if (plain == text.size()) break;
      if (length == 0) AppendCodePoint(kReplacement, out);
      i = plain + (length == 0 ? 1 : length);
    }
    return;
  }
  while (i < text.size()) {
    std::size_t plain = i;
    while (plain < text.size() && static_cast<unsigned char>(text[plain]) < 0x80) ++plain;
    out.append(text.data() + i, plain - i);
    if (plain == text.size()) break;
    const std::string& utf8 = high_[static_cast<unsigned char>(text[plain]) - 0x80];
    if (!utf8.empty()) {
      out += utf8;
      i = plain + 1;
    } else if (plain + 1 < text.size()) {
      AppendPair(text[plain], text[plain + 1], out);
      i = plain + 2;
    } else {
      AppendCodePoint(kReplacement, out);  // a lead byte at the end of the text
      i = plain + 1;
    }
  }
}

void CodePageDecoder::AppendPair(char lead, char trail, std::string& out) {
  const auto key = static_cast<std::uint16_t>((static_cast<unsigned char>(lead) << 8) |
                                              static_cast<unsigned char>(trail));
  auto found = pairs_.find(key);
  if (found == pairs_.end()) {
    const char bytes[2] = {lead, trail};
    CodePageCharacter character;
    std::string utf8;
    const bool known = DecodeCodePageCharacter(codePage_, std::string_view(bytes, 2), character);
    AppendCodePoint(known && character.kind == CodePageCharacter::Kind::kCharacter ? character.value
                                                                                   : kReplacement,
                    utf8);
    found = pairs_.emplace(key, std::move(utf8)).first;
  }
  out += found->second;
}

}  // namespace mv
