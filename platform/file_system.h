// The file-system port: directory listing, snapshot files written and read, deletion.
// Shaped after what the walker, the loader and the library need; paths are Windows paths
// (\\COMPUTER\SHARE\rest, or a local path with either separator), which the posix backend
// maps onto its UNC root folder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_identity.h"
#include "platform/io_error.h"

namespace mv {

// File attribute bits as Windows reports them.
inline constexpr std::uint32_t kAttrReadOnly = 0x01;
inline constexpr std::uint32_t kAttrHidden = 0x02;
inline constexpr std::uint32_t kAttrSystem = 0x04;
inline constexpr std::uint32_t kAttrDirectory = 0x10;
inline constexpr std::uint32_t kAttrArchive = 0x20;
inline constexpr std::uint32_t kAttrNormal = 0x80;
inline constexpr std::uint32_t kAttrReparsePoint = 0x400;  // symbolic link or junction

// A calendar date and time of day in UTC, as the file system records it.
struct UtcDateTime {
  int year = 1601;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// One entry of a directory listing: what FindFirstFile/FindNextFile report.
struct DirEntry {
  std::string name;              // long name, as the listing reports it
  std::uint32_t attributes = 0;  // kAttr* bits; a link to a directory has kAttrDirectory
  std::uint64_t size = 0;        // 0 for a directory
  UtcDateTime created;           // creation (birth) time; modification time where none is kept
  // The backend had to replace characters of this name it could not convert.
  bool nameAltered = false;
};

// Identity of a directory, to recognise one reached again through a link.
struct DirectoryIdentity {
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  friend bool operator==(const DirectoryIdentity&, const DirectoryIdentity&) = default;
};

// An open listing. Entries come in the order the platform yields them, "." and ".."
// included where the platform reports them.
class DirectoryListing {
 public:
  virtual ~DirectoryListing() = default;
  // Fills entry with the next entry; false at the end of the listing or on any failure.
  virtual bool Next(DirEntry& entry) = 0;
};

// A file being written. Close reports whether every byte reached the medium: it waits until
// they have, so that a file renamed after its close survives a loss of power whole.
class OutputFile {
 public:
  virtual ~OutputFile() = default;  // closes without reporting when still open
  virtual IoError Write(const void* data, std::size_t size) = 0;
  virtual IoError Close() = 0;
  // Reads back what this file was given, from offset on: up to size bytes into data, got
  // saying how many (0 past the end). For the writer that holds the file, to carry what it
  // wrote into a file of another form; it writes no more to this one then. kOther where the
  // backend cannot.
  virtual IoError ReadBack(std::uint64_t offset, void* data, std::size_t size, std::size_t& got) {
    (void)offset;
    (void)data;
    (void)size;
    got = 0;
    return IoError::kOther;
  }
};

// A file open for reading pieces of it at any offset (64-bit on every platform). It is
// opened as the exclusive reader opens a file (refused while a writer holds it); the platform
// backends read the file opened however its name changes later (removed, replaced), the
// in-memory one reads its files as they are at each read.
class InputFile {
 public:
  virtual ~InputFile() = default;
  // The file as it was opened.
  virtual const FileStamp& stamp() const = 0;
  // Reads up to size bytes at offset into buffer; read is set to the bytes read, fewer than
  // size only at the end of the file.
  virtual IoError ReadAt(std::uint64_t offset, char* buffer, std::size_t size,
                         std::size_t& read) = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Starts a listing of pattern: a directory path, a backslash, and a last component with
  // the wildcards * and ? ("*.*" matches every name, as on Windows; matching ignores case).
  // Returns null with error set when the listing cannot be started.
  virtual std::unique_ptr<DirectoryListing> List(const std::string& pattern, IoError& error) = 0;

  // As List, for callers that need each entry's name and directory bit only: the other
  // fields may stay as a new DirEntry has them. A backend that would pay for them per entry
  // (a status call each) leaves them out.
  virtual std::unique_ptr<DirectoryListing> ListNames(const std::string& pattern, IoError& error) {
    return List(pattern, error);
  }

  // Whether List, the listings it returns and IdentifyDirectory may be used by several
  // threads at once (each listing by one thread at a time): the share walk then fetches
  // listings ahead on threads of its own. A backend says so only when it is safe.
  virtual bool ListsConcurrently() const { return false; }

  // Identity of the directory at path, following links.
  virtual IoError IdentifyDirectory(const std::string& path, DirectoryIdentity& identity) = 0;

  // Creates the file anew, replacing one of the same name. Others may read it while it is
  // open; an exclusive reader (ReadWholeExclusive) and a second writer are refused until it
  // is closed.
  virtual std::unique_ptr<OutputFile> Create(const std::string& path, IoError& error) = 0;

  // As Create, but refuses a name that is taken, by a file or by a link (kAlreadyExists):
  // what is made is always a new file of this caller's own.
  virtual std::unique_ptr<OutputFile> CreateNew(const std::string& path, IoError& error) {
    return Create(path, error);
  }

  virtual IoError Remove(const std::string& path) = 0;

  // Removes a file that a writer left behind, unless a writer still holds it open (then
  // kSharingViolation, and it stays). On Windows the writer's share mode refuses the
  // deletion; the posix backend asks for the writer's lock.
  virtual IoError RemoveIfAbandoned(const std::string& path) { return Remove(path); }

  // Makes the finished file, written under the name from, the file to: every byte on the
  // medium, then the name given (replacing a file of that name, as Replace does; a refusal
  // is tried again over about a second, kPublishAttempts times), then closed. A backend that
  // can rename a file it holds does so before closing, so that nobody takes the finished
  // file for an abandoned one in between; on Linux the new name is made durable too. When
  // only the renaming failed, kept is set: the file is closed and stays whole under from.
  virtual IoError Publish(OutputFile& file, const std::string& from, const std::string& to,
                          bool& kept);

  // Gives the file at from the name to, replacing a file of that name, in one step: a
  // reader of to finds either the old file or the new one whole. Both lie in one directory.
  virtual IoError Replace(const std::string& from, const std::string& to) = 0;

  // Creates one directory; kNone also when it exists already.
  virtual IoError MakeDirectory(const std::string& path) = 0;

  // Opens an existing file with no sharing and reads it whole into contents, followed by
  // one NUL byte (so contents.size() is the file size + 1). A file that another handle
  // holds open is refused with kSharingViolation; one larger than maxBytes with kTooLarge.
  virtual IoError ReadWholeExclusive(const std::string& path, std::uint64_t maxBytes,
                                     std::vector<char>& contents) = 0;

  // Opens an existing file for reading in pieces, under the rule of ReadWholeExclusive: a
  // file another handle holds is refused (kSharingViolation). Null with error set when it
  // cannot be opened. By default the file is read whole into memory (for backends and
  // decorators that give no more than ReadWholeExclusive); the platform backends read each
  // piece from the file. While it is open the file may still be removed (Remove), and is
  // then read on as it was.
  virtual std::unique_ptr<InputFile> OpenExclusive(const std::string& path, IoError& error);

  // Logs on to computer before a snapshot of its shares is written. kLogonRefused when it
  // refuses the credentials this file system presents: the writer then writes no file. Any
  // other answer lets the walk go on, so an unreachable computer's shares fail one by one.
  // Backends whose platform logs on by itself have nothing to ask.
  virtual IoError LogOn(const std::string& computer) {
    (void)computer;
    return IoError::kNone;
  }
};

// Bytes in memory as a file open for reading in pieces (tests, fuzz targets): they must
// outlive it.
std::unique_ptr<InputFile> InputFileOfBytes(std::string_view bytes);

// How often Publish asks for the new name, and the pause after each refusal.
inline constexpr int kPublishAttempts = 10;
inline constexpr unsigned kPublishRetryPauseMs = 100;

// Replace(from, to), tried again after a pause while it fails, kPublishAttempts in all.
IoError ReplaceRetrying(FileSystem& fs, const std::string& from, const std::string& to);

// A listed name goes into a path as exactly one component: AppendPathComponent puts the
// separator and then the name, with every backslash or slash inside the name escaped by a
// kPathEscape byte before it. No listed name and no typed path holds that byte, and every
// backend takes an escaped character as part of its name, never as a separator.
inline constexpr char kPathEscape = '\0';
void AppendPathComponent(std::string& path, std::string_view name);

// Whether a listed name may be entered as a folder below the one listing it: not empty and
// not "." or ".." (which would lead back up).
bool IsEnterableName(std::string_view name);

// A 64-bit hash of bytes (FNV-1a), for backends that stamp a file by its contents.
std::uint64_t HashOfBytes(std::string_view bytes);

// The backend of this build: Win32 on Windows, posix elsewhere.
FileSystem& PlatformFileSystem();

// Posix backend only: the folder that stands for the network, so that \\C\S\rest is
// <root>/C/S/rest. Ignored on Windows, where UNC paths are live.
void SetUncRoot(const std::string& root);
const std::string& UncRoot();

}  // namespace mv
