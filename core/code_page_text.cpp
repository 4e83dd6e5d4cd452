// Code-page text to UTF-8 through the platform's code-page port, asked once per byte value
// and once per two-byte character met.
#include "core/code_page_text.h"

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

void CodePageDecoder::AppendUtf8(std::string_view text, std::string& out) {
  if (passThrough_) {
    out.append(text);
    return;
  }
  std::size_t i = 0;
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
