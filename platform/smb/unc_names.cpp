// Conversion of names and paths between the servers and the snapshots.
#include "platform/smb/unc_names.h"

#include <vector>

#include "platform/file_system.h"
#include "platform/smb/smb_session.h"

namespace mv::smb {

bool IsUncPath(std::string_view path) {
  return path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
}

bool UncNames::FromServer(std::string_view parentPath, std::string_view utf8Name, std::string& name,
                          const AlteredNames::Taken& taken) {
  return !altered_.Alter(parentPath, utf8Name, name, taken);
}

std::string UncNames::ServerName(const std::string& path, std::string_view component) const {
  std::string listed;
  if (altered_.Listed(path, listed)) return listed;
  return std::string(component);
}

bool UncNames::ToUrl(std::string_view uncPath, std::string& url) const {
  if (!IsUncPath(uncPath)) return false;
  std::vector<std::string> names;
  std::string path(1, '\\');
  std::string component;
  const std::string_view rest = uncPath.substr(2);
  for (std::size_t at = 0; at <= rest.size(); ++at) {
    // An escaped character belongs to its name (AppendPathComponent).
    if (at + 1 < rest.size() && rest[at] == kPathEscape) {
      component += rest[++at];
      continue;
    }
    if (at < rest.size() && rest[at] != '\\' && rest[at] != '/') {
      component += rest[at];
      continue;
    }
    if (component.empty()) continue;
    AppendPathComponent(path, component);
    names.push_back(ServerName(path, component));
    component.clear();
  }
  if (names.empty()) return false;  // no computer
  SmbUrl built(names.front());
  for (std::size_t i = 1; i < names.size(); ++i) built.Append(names[i]);
  url = built.text();
  return true;
}

}  // namespace mv::smb
