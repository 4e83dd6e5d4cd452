// config.ini behind the settings file port, through the platform's profile functions.
#pragma once

#include <string>
#include <vector>

#include "platform/settings_file.h"

namespace mv {

class ProfileSettingsFile final : public SettingsFile {
 public:
  explicit ProfileSettingsFile(std::string path) : path_(std::move(path)) {}
  // A value that stands for a text with a control character reads as absent, and its key is
  // kept in refusedKeys().
  std::string Read(const std::string& key) const override;
  void Write(const std::string& key, const std::string& text) override;
  const std::vector<std::string>& refusedKeys() const { return refused_; }

 private:
  std::string path_;
  mutable std::vector<std::string> refused_;
};

}  // namespace mv
