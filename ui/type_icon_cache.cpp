// Type icon cache: keys compared ignoring case, a bounded number of slots.
#include "ui/type_icon_cache.h"

#include <utility>

#include "core/text.h"

namespace mv {
namespace {
constexpr std::string_view kNoExtensionKey = ".";
}  // namespace

std::string TypeIconCache::KeyFor(std::string_view extension) {
  if (extension.size() + 1 > kMaxTypeIconKeyLength) return std::string(kNoExtensionKey);
  std::string key(kNoExtensionKey);
  key += extension;
  return key;
}

int TypeIconCache::GetTypeIconIndex(std::string_view extension, FileListPort& list) {
  const std::string key = KeyFor(extension);
  std::string lowered;
  lowered.reserve(key.size());
  for (const char c : key) lowered += AsciiLower(c);
  if (const auto hit = slots_.find(lowered); hit != slots_.end()) return hit->second;
  if (size() < kTypeIconCacheSlots) {
    const int image = list.AddTypeIcon(key);
    slots_.emplace(std::move(lowered), image);
    return image;
  }
  if (const auto plain = slots_.find(std::string(kNoExtensionKey)); plain != slots_.end()) {
    return plain->second;
  }
  if (!overflowAsked_) {
    overflowImage_ = list.AddTypeIcon(std::string(kNoExtensionKey));
    overflowAsked_ = true;
  }
  return overflowImage_;
}

void TypeIconCache::Clear() {
  slots_.clear();
  overflowAsked_ = false;
  overflowImage_ = -1;
}

}  // namespace mv
