// File identity on Windows: the volume serial number and the file index of an open handle,
// which follow links as opening the file does.
#include <windows.h>

#include <cstdint>

#include "platform/file_identity.h"
#include "platform/win32/win32_system_path.h"

namespace mv {
namespace {

struct Identity {
  DWORD volume = 0;
  std::uint64_t index = 0;
};

bool Identify(const std::string& path, Identity& identity) {
  // No access asked: only the attributes are read, so a file open elsewhere is reached too.
  const HANDLE file = CreateFileW(win32::SystemPath(path).c_str(), 0,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool ok = GetFileInformationByHandle(file, &info) != 0;
  CloseHandle(file);
  identity.volume = info.dwVolumeSerialNumber;
  identity.index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return ok;
}

}  // namespace

bool IsSameFile(const std::string& first, const std::string& second) {
  Identity a, b;
  return Identify(first, a) && Identify(second, b) && a.volume == b.volume && a.index == b.index;
}

}  // namespace mv
