// The file lock with flock: held by the open file, so ended with the descriptor.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_lock.h"
#include "platform/posix/posix_paths.h"
#include "platform/posix/posix_shared.h"

namespace mv {
namespace {

class PosixFileLock final : public FileLock {
 public:
  explicit PosixFileLock(int fd) : fd_(fd) {}
  ~PosixFileLock() override { close(fd_); }

 private:
  int fd_;
};

}  // namespace

std::unique_ptr<FileLock> TryLockFile(const std::string& path, IoError& error) {
  const int fd =
      open(posix::ToNativePath(path).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (fd < 0) {
    error = posix::FromErrno(errno);
    return nullptr;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    error = errno == EWOULDBLOCK ? IoError::kSharingViolation : posix::FromErrno(errno);
    close(fd);
    return nullptr;
  }
  error = IoError::kNone;
  return std::make_unique<PosixFileLock>(fd);
}

}  // namespace mv
