// Port paths to wide-character system paths.
#include "platform/win32/win32_system_path.h"

#include <windows.h>

#include "platform/extended_path.h"

namespace mv::win32 {

std::wstring SystemPath(const std::string& path) {
  const std::string extended = ExtendedLengthPath(path);
  const int length = MultiByteToWideChar(CP_ACP, 0, extended.data(),
                                         static_cast<int>(extended.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, extended.data(), static_cast<int>(extended.size()), wide.data(),
                      length);
  return wide;
}

}  // namespace mv::win32
