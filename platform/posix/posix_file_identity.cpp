// File identity on Linux: device and inode, after following links.
#include <sys/stat.h>

#include "platform/file_identity.h"
#include "platform/posix/posix_paths.h"

namespace mv {

bool IsSameFile(const std::string& first, const std::string& second) {
  struct stat a {};
  struct stat b {};
  return stat(posix::ToNativePath(first).c_str(), &a) == 0 &&
         stat(posix::ToNativePath(second).c_str(), &b) == 0 && a.st_dev == b.st_dev &&
         a.st_ino == b.st_ino;
}

}  // namespace mv
