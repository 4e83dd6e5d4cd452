// The settings file over the wide profile functions: see profile_settings_file.h.
//
// The file stays in the ANSI form the profile functions write: a value the ANSI code page
// holds is written as that text, byte for byte as ever; any other value (a snapshots folder
// named in another script, or a text with a control character) in the "utf-8:" form of
// app/settings_value.h. Values in the ANSI code page written by earlier versions read back
// through the wide functions as the characters they were.
#include "app/win32/profile_settings_file.h"

#include <windows.h>

#include <vector>

#include "app/settings.h"
#include "app/settings_value.h"
#include "platform/code_page.h"
#include "ui/win32/window_text.h"

namespace mv {
namespace {

bool AnsiCodePageHolds(const std::string& text) {
  std::string ansi;
  return EncodeCodePageText(SystemAnsiCodePage(), text, ansi);
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
      std::string value;
      if (!DecodeSettingsValue(
              TextFromWide(std::wstring_view(text.data(), length), NameEncoding::kUtf8), value)) {
        refused_.push_back(key);
      }
      return value;
    }
    text.resize(text.size() * 2);
  }
}

void ProfileSettingsFile::Write(const std::string& key, const std::string& text) {
  WritePrivateProfileStringW(
      WideFromText(kSettingsSection, NameEncoding::kUtf8).c_str(),
      WideFromText(key, NameEncoding::kUtf8).c_str(),
      WideFromText(EncodeSettingsValue(text, AnsiCodePageHolds(text)), NameEncoding::kUtf8).c_str(),
      WideFromText(path_, NameEncoding::kUtf8).c_str());
}

}  // namespace mv
