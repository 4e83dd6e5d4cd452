// The documents folder and the executable's path: see system_paths.h.
#include "app/win32/system_paths.h"

#include <windows.h>

#include <shlobj.h>

#include <vector>

#include "ui/win32/window_text.h"

namespace mv {

std::string DocumentsFolder() {
  // The function writes at most MAX_PATH characters, its documented room.
  wchar_t path[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathW(nullptr, path, CSIDL_PERSONAL, FALSE)) return std::string();
  return TextFromWide(path, NameEncoding::kUtf8);
}

std::string ExecutablePath() {
  std::vector<wchar_t> path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    // A path that filled the buffer may have been cut: try again with more room.
    if (length < path.size()) {
      return TextFromWide(std::wstring_view(path.data(), length), NameEncoding::kUtf8);
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace mv
