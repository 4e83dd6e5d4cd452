// The file lock with LockFileEx on the first byte: held by the open handle, so ended with it.
#include <windows.h>

#include "platform/file_lock.h"
#include "platform/win32/win32_error.h"
#include "platform/win32/win32_system_path.h"

namespace mv {
namespace {

class Win32FileLock final : public FileLock {
 public:
  explicit Win32FileLock(HANDLE file) : file_(file) {}
  ~Win32FileLock() override { CloseHandle(file_); }

 private:
  HANDLE file_;
};

}  // namespace

std::unique_ptr<FileLock> TryLockFile(const std::string& path, IoError& error) {
  const HANDLE file = CreateFileW(win32::SystemPath(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = win32::LastIoError();
    return nullptr;
  }
  OVERLAPPED at{};
  if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
    const DWORD code = GetLastError();
    CloseHandle(file);
    error = code == ERROR_LOCK_VIOLATION ? IoError::kSharingViolation : win32::FromWin32Error(code);
    return nullptr;
  }
  error = IoError::kNone;
  return std::make_unique<Win32FileLock>(file);
}

}  // namespace mv
