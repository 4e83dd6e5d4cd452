// Conversion of names and paths between the servers and the snapshots.
#include "platform/smb/unc_names.h"

#include <vector>

#include "platform/smb/smb_session.h"

namespace mv::smb {

bool IsUncPath(std::string_view path) {
  return path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
}

bool UncNames::FromServer(std::string_view parentPath, std::string_view utf8Name, bool container,
                          std::string& name) {
  if (codePage_.FromUtf8(utf8Name, name)) return true;
  if (container) {
    std::string path = parentPath.empty() ? std::string("\\\\") : std::string(parentPath) + '\\';
    path += name;
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
  std::string utf8;
  codePage_.ToUtf8(component, utf8);
  return utf8;
}

bool UncNames::ToUrl(std::string_view uncPath, std::string& url) const {
  if (!IsUncPath(uncPath)) return false;
  std::vector<std::string> names;
  std::string path = "\\\\";
  std::string_view rest = uncPath.substr(2);
  while (!rest.empty()) {
    const std::size_t cut = rest.find_first_of("\\/");
    const std::string_view component = rest.substr(0, cut);
    rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
    if (component.empty()) continue;
    if (!names.empty()) path += '\\';
    path.append(component);
    names.push_back(ServerName(path, component));
  }
  if (names.empty()) return false;  // no computer
  SmbUrl built(names.front());
  for (std::size_t i = 1; i < names.size(); ++i) built.Append(names[i]);
  url = built.text();
  return true;
}

}  // namespace mv::smb
