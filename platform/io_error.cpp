// Plain-words descriptions of the platform error vocabulary.
#include "platform/io_error.h"

namespace mv {

const char* DescribeIoError(IoError error) {
  switch (error) {
    case IoError::kNone:
      return "no error";
    case IoError::kNotFound:
      return "not found";
    case IoError::kAccessDenied:
      return "access denied";
    case IoError::kSharingViolation:
      return "in use by another program";
    case IoError::kPathTooLong:
      return "path too long";
    case IoError::kDiskFull:
      return "disk full";
    case IoError::kTooLarge:
      return "file too large";
    case IoError::kLogonRefused:
      return "logon refused";
    case IoError::kAlreadyExists:
      return "already exists";
    case IoError::kNoMemory:
      return "not enough memory";
    case IoError::kOther:
      break;
  }
  return "input/output error";
}

}  // namespace mv
