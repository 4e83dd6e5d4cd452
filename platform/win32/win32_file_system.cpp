// The file-system port on Windows: FindFirstFile/FindNextFile for listings, CreateFile share
// modes for the rule that a file being written is never read exclusively. Paths come and names
// go in UTF-8, turned into UTF-16 at the wide-character calls; UNC paths go to the system in
// their extended-length form, so that deep trees and names ending in a dot or a blank are
// reached.
#include <windows.h>

#include <atomic>

#include "platform/file_system.h"
#include "platform/win32/win32_error.h"
#include "platform/win32/win32_system_path.h"

namespace mv {
namespace {

using win32::LastIoError;

using win32::SystemPath;
using win32::Utf8FromWide;

// Closes a handle on every way out.
class HandleCloser {
 public:
  explicit HandleCloser(HANDLE handle) : handle_(handle) {}
  ~HandleCloser() { CloseHandle(handle_); }
  HandleCloser(const HandleCloser&) = delete;
  HandleCloser& operator=(const HandleCloser&) = delete;

 private:
  HANDLE handle_;
};

UtcDateTime ToUtc(const FILETIME& time) {
  SYSTEMTIME st{};
  UtcDateTime out;
  if (!FileTimeToSystemTime(&time, &st)) return out;
  out.year = st.wYear;
  out.month = st.wMonth;
  out.day = st.wDay;
  out.hour = st.wHour;
  out.minute = st.wMinute;
  out.second = st.wSecond;
  return out;
}

void Describe(const WIN32_FIND_DATAW& data, DirEntry& entry) {
  entry.name = Utf8FromWide(data.cFileName, &entry.nameAltered);
  entry.attributes = data.dwFileAttributes;
  const bool directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  entry.size =
      directory ? 0 : (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  entry.created = ToUtc(data.ftCreationTime);
}

class Win32Listing final : public DirectoryListing {
 public:
  Win32Listing(HANDLE find, const WIN32_FIND_DATAW& first) : find_(find), first_(first) {}
  ~Win32Listing() override { FindClose(find_); }

  bool Next(DirEntry& entry) override {
    if (pendingFirst_) {
      pendingFirst_ = false;
      Describe(first_, entry);
      return true;
    }
    WIN32_FIND_DATAW data{};
    if (!FindNextFileW(find_, &data)) return false;
    Describe(data, entry);
    return true;
  }

 private:
  HANDLE find_;
  WIN32_FIND_DATAW first_;
  bool pendingFirst_ = true;
};

// A folder in which nothing matches: a share root has no "." and "..", so FindFirstFile
// answers an empty one with "file not found".
class EmptyListing final : public DirectoryListing {
 public:
  bool Next(DirEntry&) override { return false; }
};

class Win32OutputFile final : public OutputFile {
 public:
  explicit Win32OutputFile(HANDLE file) : file_(file) {}
  ~Win32OutputFile() override {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  }

  IoError Write(const void* data, std::size_t size) override {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
      // WriteFile takes a 32-bit count; larger buffers go in pieces.
      const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
      DWORD written = 0;
      if (!WriteFile(file_, p, chunk, &written, nullptr)) return LastIoError();
      if (written == 0) return IoError::kDiskFull;  // a short write means the medium is full
      p += written;
      size -= written;
    }
    return IoError::kNone;
  }

  IoError ReadBack(std::uint64_t offset, void* data, std::size_t size, std::size_t& got) override {
    got = 0;
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    DWORD read = 0;
    // A read at an offset moves the file pointer too: it goes back to the end for writes.
    const bool ok = ReadFile(file_, data, chunk, &read, &at) != 0;
    const DWORD failure = ok ? ERROR_SUCCESS : GetLastError();
    SetFilePointer(file_, 0, nullptr, FILE_END);
    if (!ok && failure != ERROR_HANDLE_EOF) {
      SetLastError(failure);
      return LastIoError();
    }
    got = read;
    return IoError::kNone;
  }

  IoError Close() override {
    const HANDLE file = file_;
    file_ = INVALID_HANDLE_VALUE;
    if (file == INVALID_HANDLE_VALUE) return IoError::kNone;
    const IoError flushed = FlushFileBuffers(file) ? IoError::kNone : LastIoError();
    if (!CloseHandle(file)) return LastIoError();
    return flushed;
  }

 private:
  HANDLE file_;
};

// A file read in pieces with ReadFile at 64-bit offsets. It is held with share mode 0 only
// while it is open: a reader opens it for each piece of work and closes it after.
// A name in the folder of path that no other caller uses: "mv-removed-<process>-<n>.tmp".
std::wstring AsideName(const std::wstring& path) {
  static std::atomic<unsigned> counter{0};
  const std::size_t cut = path.find_last_of(L'\\');
  std::wstring aside = cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
  aside += L"mv-removed-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(counter.fetch_add(1)) + L".tmp";
  return aside;
}

class Win32InputFile final : public InputFile {
 public:
  Win32InputFile(HANDLE file, const FileStamp& stamp) : file_(file), stamp_(stamp) {}
  ~Win32InputFile() override { CloseHandle(file_); }
  Win32InputFile(const Win32InputFile&) = delete;
  Win32InputFile& operator=(const Win32InputFile&) = delete;

  const FileStamp& stamp() const override { return stamp_; }
  IoError ReadAt(std::uint64_t offset, char* buffer, std::size_t size, std::size_t& read) override {
    read = 0;
    while (read < size) {
      const std::uint64_t at = offset + read;
      OVERLAPPED where{};
      where.Offset = static_cast<DWORD>(at & 0xFFFFFFFFu);
      where.OffsetHigh = static_cast<DWORD>(at >> 32);
      const std::size_t left = size - read;
      const DWORD chunk = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
      DWORD got = 0;
      if (!ReadFile(file_, buffer + read, chunk, &got, &where)) {
        if (GetLastError() == ERROR_HANDLE_EOF) break;
        return LastIoError();
      }
      if (got == 0) break;
      read += got;
    }
    return IoError::kNone;
  }

 private:
  HANDLE file_;
  FileStamp stamp_;
};

class Win32FileSystem final : public FileSystem {
 public:
  // Each listing has its own handle, and nothing else is shared between calls.
  bool ListsConcurrently() const override { return true; }

  std::unique_ptr<DirectoryListing> List(const std::string& pattern, IoError& error) override {
    WIN32_FIND_DATAW first{};
    const HANDLE find = FindFirstFileW(SystemPath(pattern).c_str(), &first);
    if (find == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_NOT_FOUND) {
      error = IoError::kNone;
      return std::make_unique<EmptyListing>();
    }
    if (find == INVALID_HANDLE_VALUE) {
      error = LastIoError();
      return nullptr;
    }
    error = IoError::kNone;
    return std::make_unique<Win32Listing>(find, first);
  }

  IoError IdentifyDirectory(const std::string& path, DirectoryIdentity& identity) override {
    // FILE_FLAG_BACKUP_SEMANTICS is what lets CreateFile open a directory.
    const HANDLE dir = CreateFileW(SystemPath(path).c_str(), 0,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (dir == INVALID_HANDLE_VALUE) return LastIoError();
    BY_HANDLE_FILE_INFORMATION info{};
    const bool ok = GetFileInformationByHandle(dir, &info) != 0;
    const IoError error = ok ? IoError::kNone : LastIoError();
    CloseHandle(dir);
    if (!ok) return error;
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return IoError::kNotFound;
    identity.volume = info.dwVolumeSerialNumber;
    identity.index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return IoError::kNone;
  }

  std::unique_ptr<OutputFile> Create(const std::string& path, IoError& error) override {
    return Open(path, CREATE_ALWAYS, error);
  }

  // CREATE_NEW refuses any name that is taken, a link's included. Without FILE_SHARE_DELETE
  // nobody can delete the file while it is held.
  std::unique_ptr<OutputFile> CreateNew(const std::string& path, IoError& error) override {
    return Open(path, CREATE_NEW, error);
  }

  std::unique_ptr<OutputFile> Open(const std::string& path, DWORD disposition, IoError& error) {
    // Read access too, for the writer's ReadBack.
    const HANDLE file =
        CreateFileW(SystemPath(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                    nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      error = LastIoError();
      return nullptr;
    }
    error = IoError::kNone;
    return std::make_unique<Win32OutputFile>(file);
  }

  IoError Remove(const std::string& path) override {
    // A deleted file that a reader still holds (the snapshot the main window shows, opened
    // with FILE_SHARE_DELETE) keeps its name until the reader lets go, where the platform
    // deletes the older way: it is moved aside first, to a name no listing of the program
    // looks for, so that it leaves the folder's listings at once.
    const std::wstring name = SystemPath(path);
    const std::wstring aside = AsideName(name);
    if (MoveFileExW(name.c_str(), aside.c_str(), 0)) {
      if (DeleteFileW(aside.c_str())) return IoError::kNone;
      const IoError error = LastIoError();  // read-only, say: it stays, under its own name
      MoveFileExW(aside.c_str(), name.c_str(), 0);
      return error;
    }
    return DeleteFileW(name.c_str()) ? IoError::kNone : LastIoError();
  }

  IoError Replace(const std::string& from, const std::string& to) override {
    return MoveFileExW(SystemPath(from).c_str(), SystemPath(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? IoError::kNone
               : LastIoError();
  }

  IoError MakeDirectory(const std::string& path) override {
    if (CreateDirectoryW(SystemPath(path).c_str(), nullptr) ||
        GetLastError() == ERROR_ALREADY_EXISTS) {
      return IoError::kNone;
    }
    return LastIoError();
  }

  IoError ReadWholeExclusive(const std::string& path, std::uint64_t maxBytes,
                             std::vector<char>& contents) override {
    // Share mode 0: refused while anyone, a writer above all, holds the file.
    const HANDLE file = CreateFileW(SystemPath(path).c_str(), GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return LastIoError();
    const HandleCloser closer(file);  // also when no room for the bytes can be had
    return ReadOpen(file, maxBytes, contents);
  }

  std::unique_ptr<InputFile> OpenExclusive(const std::string& path, IoError& error) override {
    // Refused while a writer holds the file: no FILE_SHARE_WRITE. Other readers may hold it
    // too: the main window holds the snapshot it shows open while find, Compare, Export and
    // the Space window read the same file, and Remove must still delete it:
    // FILE_SHARE_DELETE.
    const HANDLE file =
        CreateFileW(SystemPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      error = LastIoError();
      return nullptr;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file, &info)) {
      error = LastIoError();
      CloseHandle(file);
      return nullptr;
    }
    FileStamp stamp;
    stamp.volume = info.dwVolumeSerialNumber;
    stamp.index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    stamp.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    stamp.written = (static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                    info.ftLastWriteTime.dwLowDateTime;
    error = IoError::kNone;
    return std::make_unique<Win32InputFile>(file, stamp);
  }

 private:
  static IoError ReadOpen(HANDLE file, std::uint64_t maxBytes, std::vector<char>& contents) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) return LastIoError();
    const std::uint64_t total = static_cast<std::uint64_t>(size.QuadPart);
    if (total > maxBytes || total >= SIZE_MAX) return IoError::kTooLarge;
    contents.assign(static_cast<std::size_t>(total) + 1, '\0');
    std::size_t done = 0;
    while (done < total) {
      const std::size_t left = static_cast<std::size_t>(total) - done;
      const DWORD chunk = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
      DWORD got = 0;
      if (!ReadFile(file, contents.data() + done, chunk, &got, nullptr)) return LastIoError();
      if (got == 0) break;  // the file shrank meanwhile: keep what is there
      done += got;
    }
    contents.resize(done + 1);
    contents[done] = '\0';
    return IoError::kNone;
  }
};

}  // namespace

FileSystem& PlatformFileSystem() {
  static Win32FileSystem fileSystem;
  return fileSystem;
}

// UNC paths are live on Windows: there is no folder standing for the network.
void SetUncRoot(const std::string&) {}
const std::string& UncRoot() {
  static const std::string none;
  return none;
}

}  // namespace mv
