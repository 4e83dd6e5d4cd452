// Names between the servers and the snapshots: a server's UTF-8 name in the snapshots' code
// page, and a UNC path in that code page back to the server's URL. A name that had to be
// altered ("?" for characters the code page lacks) cannot be converted back, so the
// containers among them are remembered under their path.
#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/smb/code_page.h"

namespace mv::smb {

class UncNames {
 public:
  explicit UncNames(const CodePage& codePage) : codePage_(codePage) {}

  // name = utf8Name in the code page; false when altered. An altered container's name (a
  // directory, share or computer that a later path may pass through) is remembered under
  // parentPath + "\" + name, or "\\" + name for a computer (parentPath empty).
  bool FromServer(std::string_view parentPath, std::string_view utf8Name, bool container,
                  std::string& name);

  // The URL of \\COMPUTER, \\COMPUTER\SHARE or a path below it; false for any other path.
  bool ToUrl(std::string_view uncPath, std::string& url) const;

  // Any other UTF-8 text (typed on this machine, a group's name) in the code page, not
  // remembered; false when altered.
  bool ToCodePage(std::string_view utf8, std::string& converted) const {
    return codePage_.FromUtf8(utf8, converted);
  }

 private:
  // The server's name of the last component of path (prefix is the path up to it).
  std::string ServerName(const std::string& path, std::string_view component) const;

  const CodePage& codePage_;
  mutable std::mutex mutex_;
  std::unordered_map<std::string, std::string> altered_;  // path in the code page -> UTF-8
};

// Whether path begins with two backslashes: a UNC path.
bool IsUncPath(std::string_view path);

}  // namespace mv::smb
