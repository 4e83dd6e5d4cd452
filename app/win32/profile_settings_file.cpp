// The settings file over the wide profile functions: see profile_settings_file.h.
//
// The file stays in the ANSI form the profile functions write: a value of ASCII characters is
// written as it is, byte for byte as ever. A value with other characters (a snapshots folder
// named in another script) could not be written in the ANSI code page, so it is written as
// "utf-8:" and its UTF-8 bytes, each byte outside printable ASCII and each '%' as %XX
// ("utf-8:C:\Users\%D0%90..."); an ASCII value that happens to begin with "utf-8:" is written
// that way too, so that every value reads back as it was written. Values in the ANSI code page
// written by earlier versions read back through the wide functions as the characters they were.
#include "app/win32/profile_settings_file.h"

#include <windows.h>

#include <string_view>
#include <vector>

#include "app/settings.h"
#include "ui/win32/window_text.h"

namespace mv {
namespace {

constexpr std::string_view kEncodedPrefix = "utf-8:";
constexpr char kHexDigits[] = "0123456789ABCDEF";

bool IsPlainAscii(unsigned char c) {
  return c >= 0x20 && c < 0x7F && c != '%';
}

std::string EncodedValue(const std::string& text) {
  bool plain = text.rfind(kEncodedPrefix, 0) != 0;
  for (const char c : text) plain = plain && (static_cast<unsigned char>(c) < 0x80);
  if (plain) return text;
  std::string encoded(kEncodedPrefix);
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (IsPlainAscii(byte)) {
      encoded += c;
    } else {
      ((encoded += '%') += kHexDigits[byte >> 4]) += kHexDigits[byte & 0xF];
    }
  }
  return encoded;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string DecodedValue(const std::string& value) {
  if (value.rfind(kEncodedPrefix, 0) != 0) return value;
  std::string text;
  for (std::size_t at = kEncodedPrefix.size(); at < value.size(); ++at) {
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
  return text;
}

}  // namespace

std::string ProfileSettingsFile::Read(const std::string& key) const {
  const std::wstring section = WideFromText(kSettingsSection, NameEncoding::kUtf8);
  const std::wstring name = WideFromText(key, NameEncoding::kUtf8);
  const std::wstring path = WideFromText(path_, NameEncoding::kUtf8);
  std::vector<wchar_t> text(256, L'\0');
  for (;;) {
    const DWORD length = GetPrivateProfileStringW(section.c_str(), name.c_str(), L"", text.data(),
                                                  static_cast<DWORD>(text.size()), path.c_str());
    // A value that filled the buffer may have been cut: read it again with more room.
    if (length + 1 < text.size()) {
      return DecodedValue(
          TextFromWide(std::wstring_view(text.data(), length), NameEncoding::kUtf8));
    }
    text.resize(text.size() * 2);
  }
}

void ProfileSettingsFile::Write(const std::string& key, const std::string& text) {
  WritePrivateProfileStringW(WideFromText(kSettingsSection, NameEncoding::kUtf8).c_str(),
                             WideFromText(key, NameEncoding::kUtf8).c_str(),
                             WideFromText(EncodedValue(text), NameEncoding::kUtf8).c_str(),
                             WideFromText(path_, NameEncoding::kUtf8).c_str());
}

}  // namespace mv
