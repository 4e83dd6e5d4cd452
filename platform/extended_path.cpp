// Extended-length UNC paths: see extended_path.h.
#include "platform/extended_path.h"

#include <vector>

namespace mv {
namespace {

bool IsSlash(char c) {
  return c == '\\' || c == '/';
}

}  // namespace

std::string ExtendedLengthPath(std::string_view path) {
  if (path.size() < 3 || !IsSlash(path[0]) || !IsSlash(path[1])) return std::string(path);
  if ((path[2] == '?' || path[2] == '.') && (path.size() == 3 || IsSlash(path[3]))) {
    return std::string(path);
  }
  std::vector<std::string_view> components;
  std::size_t from = 2;
  while (from <= path.size()) {
    std::size_t to = from;
    while (to < path.size() && !IsSlash(path[to])) ++to;
    const std::string_view component = path.substr(from, to - from);
    // The computer and the share are the first two components; ".." never climbs past them.
    if (component == "..") {
      if (components.size() > 2) components.pop_back();
    } else if (component != "." && (!component.empty() || to == path.size())) {
      components.push_back(component);
    }
    from = to + 1;
  }
  std::string extended = "\\\\?\\UNC";
  for (const std::string_view component : components) {
    extended += '\\';
    extended.append(component);
  }
  return extended;
}

}  // namespace mv
