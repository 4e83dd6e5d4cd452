// An exclusive lock that the system holds on a file for as long as the lock object lives:
// another process asking for it meanwhile is refused, and a process that ends, however it
// ends, lets it go. The file itself stays; its contents mean nothing.
#pragma once

#include <memory>
#include <string>

#include "platform/io_error.h"

namespace mv {

class FileLock {
 public:
  virtual ~FileLock() = default;
};

// The lock on path (created when missing), or null with error: kSharingViolation when
// another holder has it, else why the file could not be opened.
std::unique_ptr<FileLock> TryLockFile(const std::string& path, IoError& error);

}  // namespace mv
