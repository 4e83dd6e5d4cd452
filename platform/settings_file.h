// The settings file: text values by key in its one section. The program reads and writes
// config.ini through the platform's profile functions; tests keep the values in memory.
#pragma once

#include <string>

namespace mv {

class SettingsFile {
 public:
  virtual ~SettingsFile() = default;
  // The key's whole text; empty when the file, the section or the key is missing.
  virtual std::string Read(const std::string& key) const = 0;
  // A failed write (the folder is missing, say) loses the value without a message.
  virtual void Write(const std::string& key, const std::string& text) = 0;
};

}  // namespace mv
