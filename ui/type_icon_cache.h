// The type icon cache of the file list: one image per distinct file extension, asked of the
// list (and so of the shell) only once for the life of the window.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/file_list_port.h"

namespace mv {

inline constexpr int kTypeIconCacheSlots = 1024;
// A key is "." and the extension; with its NUL it fills 32 bytes at most. A longer extension
// names no file type anyone registers, so such files get the icon of a file without one.
inline constexpr std::size_t kMaxTypeIconKeyLength = 31;

class TypeIconCache {
 public:
  // "." followed by the extension; "." for no extension or one longer than the key allows.
  static std::string KeyFor(std::string_view extension);

  // The image index for files with this extension; asks list.AddTypeIcon for a key not seen
  // before. Once all slots hold keys, further new types share the icon of the key ".".
  int GetTypeIconIndex(std::string_view extension, FileListPort& list);

  void Clear();
  int size() const { return static_cast<int>(slots_.size()); }

 private:
  std::unordered_map<std::string, int> slots_;  // lower-cased key -> image index
  bool overflowAsked_ = false;
  int overflowImage_ = -1;
};

}  // namespace mv
