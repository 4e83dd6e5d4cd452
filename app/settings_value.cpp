// Settings values as config.ini stores them: see settings_value.h.
#include "app/settings_value.h"

namespace mv {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool IsControl(unsigned char c) {
  return c < 0x20 || c == 0x7F;
}

bool IsPlainInEncodedForm(unsigned char c) {
  return c >= 0x20 && c < 0x7F && c != '%';
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::string EncodeSettingsValue(std::string_view text, bool ansiHoldsText) {
  bool plain = ansiHoldsText && !text.starts_with(kUtf8ValuePrefix);
  for (const char c : text) plain = plain && !IsControl(static_cast<unsigned char>(c));
  if (plain) return std::string(text);
  std::string encoded(kUtf8ValuePrefix);
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (IsPlainInEncodedForm(byte)) {
      encoded += c;
    } else {
      ((encoded += '%') += kHexDigits[byte >> 4]) += kHexDigits[byte & 0xF];
    }
  }
  return encoded;
}

bool DecodeSettingsValue(std::string_view value, std::string& text) {
  text.clear();
  if (!value.starts_with(kUtf8ValuePrefix)) {
    text = value;
  } else {
    for (std::size_t at = kUtf8ValuePrefix.size(); at < value.size(); ++at) {
      // A '%' without two hex digits after it was not written here: it stands for itself.
      const int high = at + 2 < value.size() && value[at] == '%' ? HexValue(value[at + 1]) : -1;
      const int low = high >= 0 ? HexValue(value[at + 2]) : -1;
      if (low >= 0) {
        text += static_cast<char>(high * 16 + low);
        at += 2;
      } else {
        text += value[at];
      }
    }
  }
  for (const char c : text) {
    if (IsControl(static_cast<unsigned char>(c))) {
      text.clear();
      return false;
    }
  }
  return true;
}

}  // namespace mv
