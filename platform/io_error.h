// One error vocabulary for every platform operation, so that shared code never asks the
// operating system what went wrong.
#pragma once

namespace mv {

enum class IoError {
  kNone = 0,
  kNotFound,          // file, directory, share or computer does not exist
  kAccessDenied,      // no permission
  kSharingViolation,  // someone else holds the file in a way that excludes us
  kPathTooLong,       // the platform refuses the path for its length
  kDiskFull,          // no space left on the medium
  kTooLarge,          // the file is larger than the caller allows
  kLogonRefused,      // the computer refused the credentials (or the guest logon)
  kAlreadyExists,     // a file that must be new has a name that is taken
  kOther,             // anything else: the medium gone, an I/O error, ...
  kNoMemory,          // the work needs more memory than the process can have
};

// A short lower-case phrase for messages: "not found", "access denied", ...
const char* DescribeIoError(IoError error);

}  // namespace mv
