// The documents folder and the executable's path: see system_paths.h.
#include "app/win32/system_paths.h"

#include <windows.h>

#include <shlobj.h>

#include <vector>

namespace mv {

std::string DocumentsFolder() {
  // The function writes at most MAX_PATH bytes, its documented room.
  char path[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathA(nullptr, path, CSIDL_PERSONAL, FALSE)) return std::string();
  return path;
}

std::string ExecutablePath() {
  std::vector<char> path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    // A path that filled the buffer may have been cut: try again with more room.
    if (length < path.size()) return std::string(path.data(), length);
    path.resize(path.size() * 2);
  }
}

}  // namespace mv
