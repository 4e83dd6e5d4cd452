// The file-system port on Linux: readdir + statx for listings, flock for the sharing rules
// that Windows enforces with share modes; and read-only mappings under the same rules.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "platform/file_system.h"
#include "platform/memory_advice.h"
#include "platform/posix/posix_paths.h"
#include "platform/posix/posix_shared.h"
#include "platform/threading.h"

namespace mv {
namespace {

using posix::FromErrno;

class PosixListing final : public DirectoryListing {
 public:
  // folder: the program's path of the folder listed.
  PosixListing(DIR* dir, std::string folder, std::string glob, bool namesOnly)
      : dir_(dir), folder_(std::move(folder)), glob_(std::move(glob)), namesOnly_(namesOnly) {}
  ~PosixListing() override { closedir(dir_); }

  bool Next(DirEntry& entry) override {
    for (;;) {
      errno = 0;
      const dirent* d = readdir(dir_);
      if (d == nullptr) return false;
      if (!posix::MatchesListingGlob(glob_, d->d_name)) continue;
      Describe(*d, entry);
      return true;
    }
  }

 private:
  void Describe(const dirent& d, DirEntry& entry) {
    // Names are UTF-8 on the ports: a byte that belongs to no UTF-8 character (a name
    // written in a legacy 8-bit encoding) becomes '?', and the name counts as altered. Such a
    // folder is entered by its altered name all the same, which no other name of the folder
    // has (AlteredNames).
    entry.nameAltered = posix::AlteredLinuxNames().Alter(
        folder_, d.d_name, entry.name, [this](const std::string& name) {
          struct stat st {};
          return fstatat(dirfd(dir_), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
        });
    entry.attributes = 0;
    entry.size = 0;
    entry.created = UtcDateTime{};
    // The kind the directory itself records is enough for a names-only listing; links and
    // file systems that record no kind still need a status call.
    if (namesOnly_ && (d.d_type == DT_REG || d.d_type == DT_DIR)) {
      entry.attributes = (d.d_type == DT_DIR ? kAttrDirectory : kAttrArchive) | DotAttributes(d);
      return;
    }
    const int fd = dirfd(dir_);
    const unsigned mask = STATX_TYPE | STATX_SIZE | STATX_BTIME | STATX_MTIME;
    struct statx sx {};
    bool isLink = d.d_type == DT_LNK;
    if (d.d_type == DT_UNKNOWN) {
      struct statx lx {};
      if (statx(fd, d.d_name, AT_SYMLINK_NOFOLLOW, STATX_TYPE, &lx) == 0) {
        isLink = S_ISLNK(lx.stx_mode);
      }
    }
    // A link reports what it leads to, as a Windows symbolic link to a directory is a
    // directory; a dangling link is reported as the link itself.
    if (statx(fd, d.d_name, 0, mask, &sx) != 0 &&
        statx(fd, d.d_name, AT_SYMLINK_NOFOLLOW, mask, &sx) != 0) {
      entry.attributes = kAttrArchive;
      return;
    }
    if (S_ISDIR(sx.stx_mode)) {
      entry.attributes = kAttrDirectory;
    } else {
      entry.attributes = kAttrArchive;
      entry.size = sx.stx_size;
    }
    if (isLink) entry.attributes |= kAttrReparsePoint;
    entry.attributes |= DotAttributes(d);
    const bool hasBirth = (sx.stx_mask & STATX_BTIME) != 0 && sx.stx_btime.tv_sec != 0;
    entry.created = posix::ToUtc(hasBirth ? sx.stx_btime.tv_sec : sx.stx_mtime.tv_sec);
  }

  static std::uint32_t DotAttributes(const dirent& d) {
    const std::string_view name(d.d_name);
    // What Wine reports for dot files.
    return name.size() > 0 && name[0] == '.' && name != "." && name != ".." ? kAttrHidden : 0;
  }

  DIR* dir_;
  std::string folder_;
  std::string glob_;
  bool namesOnly_;
};

// Makes a rename in folder durable: the folder's own entries reach the medium.
IoError SyncFolderOf(const std::string& nativePath) {
  const std::size_t cut = nativePath.rfind('/');
  const std::string folder =
      cut == std::string::npos ? std::string(".") : nativePath.substr(0, cut == 0 ? 1 : cut);
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return FromErrno(errno);
  const IoError error = fsync(fd) == 0 ? IoError::kNone : FromErrno(errno);
  close(fd);
  return error;
}

IoError RenameRetrying(const std::string& from, const std::string& to) {
  IoError error = IoError::kNone;
  for (int attempt = 1; attempt <= kPublishAttempts; ++attempt) {
    if (rename(from.c_str(), to.c_str()) == 0) return SyncFolderOf(to);
    error = FromErrno(errno);
    if (error == IoError::kNotFound) break;
    if (attempt < kPublishAttempts) SleepMilliseconds(kPublishRetryPauseMs);
  }
  return error;
}

class PosixOutputFile final : public OutputFile {
 public:
  explicit PosixOutputFile(int fd) : fd_(fd) {}
  int fd() const { return fd_; }
  ~PosixOutputFile() override {
    if (fd_ >= 0) close(fd_);
  }

  IoError Write(const void* data, std::size_t size) override {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
      const ssize_t n = write(fd_, p, size);
      if (n < 0) {
        if (errno == EINTR) continue;
        return FromErrno(errno);
      }
      p += n;
      size -= static_cast<std::size_t>(n);
    }
    return IoError::kNone;
  }

  IoError ReadBack(std::uint64_t offset, void* data, std::size_t size, std::size_t& got) override {
    got = 0;
    for (;;) {
      const ssize_t n = pread(fd_, data, size, static_cast<off_t>(offset));
      if (n >= 0) {
        got = static_cast<std::size_t>(n);
        return IoError::kNone;
      }
      if (errno != EINTR) return FromErrno(errno);
    }
  }

  IoError Close() override {
    const int fd = fd_;
    fd_ = -1;
    if (fd < 0) return IoError::kNone;
    const bool flushed = fsync(fd) == 0;
    const IoError flushError = flushed ? IoError::kNone : FromErrno(errno);
    if (close(fd) != 0) return FromErrno(errno);
    return flushError;
  }

 private:
  int fd_;
};

// Opens the file for reading and takes the exclusive lock a writer holds (kSharingViolation
// while one does), then its status: a regular file or kNotFound. The descriptor (-1 when the
// file did not open), with error set; the lock is the caller's to give back.
int OpenLocked(const std::string& path, struct stat& st, IoError& error) {
  const int fd = open(posix::ToNativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = FromErrno(errno);
    return -1;
  }
  error = IoError::kNone;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0 || fstat(fd, &st) != 0) {
    error = FromErrno(errno);
  } else if (!S_ISREG(st.st_mode)) {
    error = IoError::kNotFound;
  }
  return fd;
}

// A file read in pieces with pread. The lock that made the open exclusive is given back at
// once, as after an exclusive read: a reader that comes back later for more must not keep
// a capture from removing or replacing the file meanwhile.
class PosixInputFile final : public InputFile {
 public:
  PosixInputFile(int fd, const FileStamp& stamp) : fd_(fd), stamp_(stamp) {}
  ~PosixInputFile() override { close(fd_); }
  PosixInputFile(const PosixInputFile&) = delete;
  PosixInputFile& operator=(const PosixInputFile&) = delete;

  const FileStamp& stamp() const override { return stamp_; }
  IoError ReadAt(std::uint64_t offset, char* buffer, std::size_t size, std::size_t& read) override {
    read = 0;
    while (read < size) {
      const ssize_t n = pread(fd_, buffer + read, size - read, static_cast<off_t>(offset + read));
      if (n < 0) {
        if (errno == EINTR) continue;
        return FromErrno(errno);
      }
      if (n == 0) break;
      read += static_cast<std::size_t>(n);
    }
    return IoError::kNone;
  }

 private:
  int fd_;
  FileStamp stamp_;
};

class PosixFileSystem final : public FileSystem {
 public:
  // Each listing has its own handle, and nothing else is shared between calls.
  bool ListsConcurrently() const override { return true; }

  std::unique_ptr<DirectoryListing> List(const std::string& pattern, IoError& error) override {
    return Open(pattern, error, false);
  }

  std::unique_ptr<DirectoryListing> ListNames(const std::string& pattern, IoError& error) override {
    return Open(pattern, error, true);
  }

  IoError IdentifyDirectory(const std::string& path, DirectoryIdentity& identity) override {
    struct stat st {};
    if (stat(posix::ToNativePath(path).c_str(), &st) != 0) return FromErrno(errno);
    if (!S_ISDIR(st.st_mode)) return IoError::kNotFound;
    identity.volume = static_cast<std::uint64_t>(st.st_dev);
    identity.index = static_cast<std::uint64_t>(st.st_ino);
    return IoError::kNone;
  }

  std::unique_ptr<OutputFile> Create(const std::string& path, IoError& error) override {
    const int fd = open(posix::ToNativePath(path).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
      error = FromErrno(errno);
      return nullptr;
    }
    // The lock stands for the share mode "others may read it meanwhile": plain readers take
    // no lock, while an exclusive reader and a second writer are refused as long as we hold
    // it. It is taken before the truncation, which must never cut another writer's file.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 || ftruncate(fd, 0) != 0) {
      error = FromErrno(errno);
      close(fd);
      return nullptr;
    }
    error = IoError::kNone;
    return std::make_unique<PosixOutputFile>(fd);
  }

  std::unique_ptr<OutputFile> CreateNew(const std::string& path, IoError& error) override {
    const std::string native = posix::ToNativePath(path);
    // Held from its creation until it is published or removed, so that RemoveIfAbandoned
    // leaves it alone. One removed in the moment before the lock was taken has lost its
    // name, and is made again.
    for (int attempt = 0; attempt < 3; ++attempt) {
      const int fd = open(native.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
      if (fd < 0) {
        error = FromErrno(errno);
        return nullptr;
      }
      struct stat st {};
      if (flock(fd, LOCK_EX | LOCK_NB) != 0 || fstat(fd, &st) != 0) {
        error = FromErrno(errno);
        close(fd);
        return nullptr;
      }
      if (st.st_nlink > 0) {
        error = IoError::kNone;
        return std::make_unique<PosixOutputFile>(fd);
      }
      close(fd);
    }
    error = IoError::kSharingViolation;
    return nullptr;
  }

  IoError RemoveIfAbandoned(const std::string& path) override {
    const std::string native = posix::ToNativePath(path);
    const int fd = open(native.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
      // A link planted at such a name is no writer's: it goes, what it leads to stays.
      if (errno == ELOOP) return Remove(path);
      return FromErrno(errno);
    }
    IoError error = IoError::kNone;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
      error = FromErrno(errno);  // a live writer holds it
    } else if (unlink(native.c_str()) != 0) {
      error = FromErrno(errno);
    }
    close(fd);
    return error;
  }

  // Renamed while still held and locked, then the folder synced, then closed.
  IoError Publish(OutputFile& file, const std::string& from, const std::string& to,
                  bool& kept) override {
    kept = false;
    auto* held = dynamic_cast<PosixOutputFile*>(&file);  // one made by this backend
    if (held == nullptr || held->fd() < 0) return FileSystem::Publish(file, from, to, kept);
    PosixOutputFile& own = *held;
    if (fsync(own.fd()) != 0) {
      const IoError error = FromErrno(errno);
      own.Close();
      return error;
    }
    const IoError renamed = RenameRetrying(posix::ToNativePath(from), posix::ToNativePath(to));
    const IoError closed = own.Close();
    kept = renamed != IoError::kNone && closed == IoError::kNone;
    return renamed != IoError::kNone ? renamed : closed;
  }

  IoError Remove(const std::string& path) override {
    return unlink(posix::ToNativePath(path).c_str()) == 0 ? IoError::kNone : FromErrno(errno);
  }

  IoError Replace(const std::string& from, const std::string& to) override {
    const std::string target = posix::ToNativePath(to);
    if (rename(posix::ToNativePath(from).c_str(), target.c_str()) != 0) return FromErrno(errno);
    // Durable: after a loss of power the folder holds the new name, not the old one.
    return SyncFolderOf(target);
  }

  IoError MakeDirectory(const std::string& path) override {
    if (mkdir(posix::ToNativePath(path).c_str(), 0755) == 0 || errno == EEXIST) {
      return IoError::kNone;
    }
    return FromErrno(errno);
  }

  IoError ReadWholeExclusive(const std::string& path, std::uint64_t maxBytes,
                             std::vector<char>& contents) override {
    const int fd = open(posix::ToNativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return FromErrno(errno);
    IoError result = ReadLocked(fd, maxBytes, contents);
    close(fd);
    return result;
  }

  std::unique_ptr<InputFile> OpenExclusive(const std::string& path, IoError& error) override {
    struct stat st {};
    const int fd = OpenLocked(path, st, error);
    if (fd < 0) return nullptr;
    flock(fd, LOCK_UN);
    if (error != IoError::kNone) {
      close(fd);
      return nullptr;
    }
    FileStamp stamp;
    stamp.volume = static_cast<std::uint64_t>(st.st_dev);
    stamp.index = static_cast<std::uint64_t>(st.st_ino);
    stamp.size = static_cast<std::uint64_t>(st.st_size);
    stamp.written = static_cast<std::uint64_t>(st.st_mtim.tv_sec) * 1000000000u +
                    static_cast<std::uint64_t>(st.st_mtim.tv_nsec);
    return std::make_unique<PosixInputFile>(fd, stamp);
  }

 private:
  static std::unique_ptr<DirectoryListing> Open(const std::string& pattern, IoError& error,
                                                bool namesOnly) {
    std::string folder, glob;
    posix::SplitListingPattern(pattern, folder, glob);
    std::string native = posix::ToNativePath(folder);
    DIR* dir = opendir(native.empty() ? "/" : native.c_str());
    if (dir == nullptr) {
      error = FromErrno(errno);
      return nullptr;
    }
    error = IoError::kNone;
    return std::make_unique<PosixListing>(dir, std::move(folder), glob, namesOnly);
  }

  static IoError ReadLocked(int fd, std::uint64_t maxBytes, std::vector<char>& contents) {
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) return FromErrno(errno);
    struct stat st {};
    if (fstat(fd, &st) != 0) return FromErrno(errno);
    if (!S_ISREG(st.st_mode)) return IoError::kNotFound;
    const std::uint64_t size = static_cast<std::uint64_t>(st.st_size);
    if (size > maxBytes) return IoError::kTooLarge;
    const std::size_t bytes = static_cast<std::size_t>(size) + 1;
    contents.clear();
    contents.reserve(bytes);
    // One fresh buffer of up to hundreds of megabytes, filled at once.
    AdviseHugePages(contents.data(), bytes);
    contents.assign(bytes, '\0');
    std::size_t done = 0;
    while (done < size) {
      const ssize_t n = read(fd, contents.data() + done, static_cast<std::size_t>(size) - done);
      if (n < 0) {
        if (errno == EINTR) continue;
        return FromErrno(errno);
      }
      if (n == 0) break;  // the file shrank meanwhile: keep what is there
      done += static_cast<std::size_t>(n);
    }
    contents.resize(done + 1);
    contents[done] = '\0';
    return IoError::kNone;
  }
};

}  // namespace

FileSystem& PlatformFileSystem() {
  static PosixFileSystem fileSystem;
  return fileSystem;
}

}  // namespace mv
