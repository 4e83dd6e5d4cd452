// Shared test helpers: scratch folders that clean up after themselves, file contents.
#pragma once

#include <string>

namespace mv::test {

// A fresh empty folder below the system's temporary folder, removed with its content when
// the object goes away.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  // Native path of the folder (forward slashes on Linux, backslashes on Windows).
  const std::string& path() const { return path_; }
  // path() + separator + relative, with '/' in relative turned into the native separator.
  std::string Join(const std::string& relative) const;

 private:
  std::string path_;
};

void WriteTextFile(const std::string& path, const std::string& contents);
std::string ReadTextFile(const std::string& path);
bool FileExists(const std::string& path);

}  // namespace mv::test
