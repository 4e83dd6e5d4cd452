// The settings file over GetPrivateProfileStringA: see profile_settings_file.h.
#include "app/win32/profile_settings_file.h"

#include <windows.h>

#include <vector>

#include "app/settings.h"

namespace mv {

std::string ProfileSettingsFile::Read(const std::string& key) const {
  std::vector<char> text(256, '\0');
  for (;;) {
    const DWORD length = GetPrivateProfileStringA(kSettingsSection, key.c_str(), "", text.data(),
                                                  static_cast<DWORD>(text.size()), path_.c_str());
    // A value that filled the buffer may have been cut: read it again with more room.
    if (length + 1 < text.size()) return std::string(text.data(), length);
    text.resize(text.size() * 2);
  }
}

void ProfileSettingsFile::Write(const std::string& key, const std::string& text) {
  WritePrivateProfileStringA(kSettingsSection, key.c_str(), text.c_str(), path_.c_str());
}

}  // namespace mv
