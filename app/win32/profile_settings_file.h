// config.ini behind the settings file port, through the platform's profile functions.
#pragma once

#include <string>

#include "platform/settings_file.h"

namespace mv {

class ProfileSettingsFile final : public SettingsFile {
 public:
  explicit ProfileSettingsFile(std::string path) : path_(std::move(path)) {}
  std::string Read(const std::string& key) const override;
  void Write(const std::string& key, const std::string& text) override;

 private:
  std::string path_;
};

}  // namespace mv
