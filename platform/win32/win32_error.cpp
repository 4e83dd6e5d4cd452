// GetLastError codes turned into the platform error vocabulary.
#include "platform/win32/win32_error.h"

namespace mv::win32 {

IoError FromWin32Error(DWORD error) {
  switch (error) {
    case ERROR_SUCCESS:
      return IoError::kNone;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_NO_MORE_FILES:
    case ERROR_INVALID_NAME:
    case ERROR_DIRECTORY:
      return IoError::kNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_NETWORK_ACCESS_DENIED:
      return IoError::kAccessDenied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return IoError::kSharingViolation;
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BUFFER_OVERFLOW:
      return IoError::kPathTooLong;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return IoError::kDiskFull;
    case ERROR_FILE_TOO_LARGE:
      return IoError::kTooLarge;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return IoError::kAlreadyExists;
    default:
      return IoError::kOther;
  }
}

}  // namespace mv::win32
