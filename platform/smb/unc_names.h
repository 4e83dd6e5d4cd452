// Names between the servers and the ports: a server's name as the ports hand it on (UTF-8,
// as the servers give it), and a UNC path back to the server's URL. A name that is not
// well-formed UTF-8 is altered ("?" for each stray byte) and cannot be turned back, so the
// containers among them are remembered under their path.
#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

namespace mv::smb {

class UncNames {
 public:
  // name = utf8Name, well-formed; false when altered. An altered container's name (a
  // directory, share or computer that a later path may pass through) is remembered under
  // parentPath + "\" + name, or "\\" + name for a computer (parentPath empty).
  bool FromServer(std::string_view parentPath, std::string_view utf8Name, bool container,
                  std::string& name);

  // The URL of \\COMPUTER, \\COMPUTER\SHARE or a path below it; false for any other path.
  bool ToUrl(std::string_view uncPath, std::string& url) const;

 private:
  // The server's name of the last component of path (prefix is the path up to it).
  std::string ServerName(const std::string& path, std::string_view component) const;

  mutable std::mutex mutex_;
  std::unordered_map<std::string, std::string> altered_;  // altered path -> server's name
};

// Whether path begins with two backslashes: a UNC path.
bool IsUncPath(std::string_view path);

}  // namespace mv::smb
