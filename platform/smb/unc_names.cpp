// Conversion of names and paths between the servers and the snapshots.
#include "platform/smb/unc_names.h"

#include <vector>

#include "platform/file_system.h"
#include "platform/smb/smb_session.h"
#include "platform/utf8_text.h"

namespace mv::smb {

bool IsUncPath(std::string_view path) {
  return path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
}

bool UncNames::FromServer(std::string_view parentPath, std::string_view utf8Name, bool container,
                          std::string& name) {
  name.assign(utf8Name);
  if (!ReplaceInvalidUtf8(name)) return true;
  if (container) {
    // Keyed as the path a walk forms for it (the name one component, escaped).
    std::string path = parentPath.empty() ? std::string(1, '\\') : std::string(parentPath);
    AppendPathComponent(path, name);
    std::lock_guard lock(mutex_);
    // Two names altered alike in one folder share a path; the later one is reached by it.
    altered_[path] = utf8Name;
  }
  return false;
}

std::string UncNames::ServerName(const std::string& path, std::string_view component) const {
  {
    std::lock_guard lock(mutex_);
    if (!altered_.empty()) {
      const auto found = altered_.find(path);
      if (found != altered_.end()) return found->second;
    }
  }
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
