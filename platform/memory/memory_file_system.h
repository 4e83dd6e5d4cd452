// An in-memory file system: directories with entries in a chosen order, chosen attributes
// and dates, directory links, unlistable directories, files written in memory, and a hook
// that runs whenever a listing starts. The writer's, loader's and library's tests run on it.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "platform/file_system.h"

namespace mv {

class MemoryFileSystem : public FileSystem {
 public:
  // Whether a written file's name matches the last component of a ListNames pattern
  // ("*.mirvaul*"). The caller brings the program's matcher, which lives above this port.
  using NamePatternTest = std::function<bool(std::string_view pattern, std::string_view name)>;
  explicit MemoryFileSystem(NamePatternTest matchesPattern)
      : matchesPattern_(std::move(matchesPattern)) {}

  // Adds a directory (its parent must exist, except for a share root \\C\S). Entries are
  // listed in the order they were added.
  void AddDirectory(const std::string& path, UtcDateTime created = {}, std::uint32_t extra = 0);
  void AddFile(const std::string& path, std::uint64_t size, UtcDateTime created = {},
               std::uint32_t extra = 0);
  // A directory link at path leading to the directory target.
  void AddLink(const std::string& path, const std::string& target);
  // The directory exists (its "d" line is written) but refuses to be listed.
  void MakeUnlistable(const std::string& path);
  // The entry is listed as one whose name the backend had to alter.
  void MarkNameAltered(const std::string& path);

  // Called with the directory path each time a listing is started.
  std::function<void(const std::string&)> onList;

  std::vector<std::string> listed;           // every directory path listing was asked for
  std::map<std::string, std::string> files;  // files written: path -> bytes
  // Files a writer holds open: exclusive readers are refused.
  std::set<std::string> heldOpen;
  int identifyCalls = 0;

  std::unique_ptr<DirectoryListing> List(const std::string& pattern, IoError& error) override;
  // The files written into a folder; not recorded in `listed`.
  std::unique_ptr<DirectoryListing> ListNames(const std::string& pattern, IoError& error) override;
  IoError IdentifyDirectory(const std::string& path, DirectoryIdentity& identity) override;
  std::unique_ptr<OutputFile> Create(const std::string& path, IoError& error) override;
  // Refuses a path that files or heldOpen holds.
  std::unique_ptr<OutputFile> CreateNew(const std::string& path, IoError& error) override;
  // Refused for a path in heldOpen.
  IoError RemoveIfAbandoned(const std::string& path) override;
  IoError Remove(const std::string& path) override;
  IoError Replace(const std::string& from, const std::string& to) override;
  IoError MakeDirectory(const std::string& path) override;
  IoError ReadWholeExclusive(const std::string& path, std::uint64_t maxBytes,
                             std::vector<char>& contents) override;
  // Reads each piece from files as it is then; the stamp holds a hash of the bytes at the
  // open. A piece of a file that is gone by then is kNotFound.
  std::unique_ptr<InputFile> OpenExclusive(const std::string& path, IoError& error) override;

 private:
  NamePatternTest matchesPattern_;
  struct Node {
    DirEntry entry;
    std::string linkTarget;
    std::vector<std::string> children;  // names, in listing order
    bool unlistable = false;
    std::uint64_t index = 0;
  };
  void AddNode(const std::string& path, Node node);
  // The path with every link on the way replaced by its target.
  std::string Resolve(const std::string& path) const;

  std::map<std::string, Node> nodes_;
  std::uint64_t nextIndex_ = 1;
};

}  // namespace mv
