// Names between the servers and the ports: a server's name as the ports hand it on (UTF-8,
// as the servers give it), and a UNC path back to the server's URL. A name that is not
// well-formed UTF-8 is altered ("?" for each stray byte, unique within its container) and
// cannot be turned back, so it is remembered under its path (AlteredNames).
#pragma once

#include <string>
#include <string_view>

#include "platform/altered_names.h"

namespace mv::smb {

class UncNames {
 public:
  // name = utf8Name, well-formed; false when altered (AlteredNames::Alter: unique among the
  // names of parentPath that taken knows, and remembered under parentPath + "\" + name, or
  // "\\" + name for a computer or group, parentPath empty).
  bool FromServer(std::string_view parentPath, std::string_view utf8Name, std::string& name,
                  const AlteredNames::Taken& taken = {});

  // The URL of \\COMPUTER, \\COMPUTER\SHARE or a path below it; false for any other path.
  bool ToUrl(std::string_view uncPath, std::string& url) const;

 private:
  // The server's name of the last component of path (prefix is the path up to it).
  std::string ServerName(const std::string& path, std::string_view component) const;

  AlteredNames altered_;
};

// Whether path begins with two backslashes: a UNC path.
bool IsUncPath(std::string_view path);

}  // namespace mv::smb
