// Altered names made unique per folder, and the way back to the names listed.
#include "platform/altered_names.h"

#include <memory>
#include <unordered_set>

#include "platform/file_system.h"
#include "platform/utf8_text.h"

namespace mv {
namespace {

// The path a walk forms for name in folderPath.
std::string PathOf(std::string_view folderPath, std::string_view name) {
  std::string path = folderPath.empty() ? std::string(1, '\\') : std::string(folderPath);
  AppendPathComponent(path, name);
  return path;
}

// name with " (n)" before its extension (a dot after its first character), so the type a
// file's name tells stays.
std::string Numbered(const std::string& name, unsigned n) {
  std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0) dot = name.size();
  return name.substr(0, dot) + " (" + std::to_string(n) + ")" + name.substr(dot);
}

}  // namespace

AlteredNames::Taken AlteredNames::AmongListed(const std::vector<std::string>& listed) {
  auto plain = std::make_shared<std::unordered_set<std::string>>();
  std::string name;
  for (const std::string& one : listed) {
    name = one;
    if (!ReplaceInvalidUtf8(name)) plain->insert(one);
  }
  return [plain](const std::string& candidate) { return plain->count(candidate) != 0; };
}

bool AlteredNames::Alter(std::string_view folderPath, std::string_view listed, std::string& name,
                         const Taken& taken) {
  name.assign(listed);
  if (!ReplaceInvalidUtf8(name)) return false;
  std::string key(folderPath);
  key += '\0';
  key.append(listed);
  std::lock_guard lock(mutex_);
  const auto known = nameByListed_.find(key);
  if (known != nameByListed_.end()) {
    name = known->second;
    return true;
  }
  const std::string plain = name;
  std::string path = PathOf(folderPath, name);
  // Every try but the last found its name used, so the count ends within the folder's names.
  for (unsigned n = 2; listedByPath_.count(path) != 0 || (taken && taken(name)); ++n) {
    name = Numbered(plain, n);
    path = PathOf(folderPath, name);
  }
  listedByPath_.emplace(std::move(path), std::string(listed));
  nameByListed_.emplace(std::move(key), name);
  any_.store(true, std::memory_order_release);
  return true;
}

bool AlteredNames::Listed(const std::string& path, std::string& listed) const {
  if (empty()) return false;
  std::lock_guard lock(mutex_);
  const auto found = listedByPath_.find(path);
  if (found == listedByPath_.end()) return false;
  listed = found->second;
  return true;
}

}  // namespace mv
