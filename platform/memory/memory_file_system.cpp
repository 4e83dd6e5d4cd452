// The in-memory file system.
#include "platform/memory/memory_file_system.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace mv {
namespace {

std::string ParentOf(const std::string& path) {
  const std::size_t cut = path.rfind('\\');
  return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

std::string NameOf(const std::string& path) {
  const std::size_t cut = path.rfind('\\');
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

class MemoryListing final : public DirectoryListing {
 public:
  explicit MemoryListing(std::vector<DirEntry> entries) : entries_(std::move(entries)) {}
  bool Next(DirEntry& entry) override {
    if (next_ >= entries_.size()) return false;
    entry = entries_[next_++];
    return true;
  }

 private:
  std::vector<DirEntry> entries_;
  std::size_t next_ = 0;
};

class MemoryOutputFile final : public OutputFile {
 public:
  explicit MemoryOutputFile(std::string& bytes) : bytes_(bytes) {}
  IoError Write(const void* data, std::size_t size) override {
    bytes_.append(static_cast<const char*>(data), size);
    return IoError::kNone;
  }
  IoError Close() override { return IoError::kNone; }
  IoError ReadBack(std::uint64_t offset, void* data, std::size_t size, std::size_t& got) override {
    got = offset < bytes_.size()
              ? bytes_.copy(static_cast<char*>(data), size, static_cast<std::size_t>(offset))
              : 0;
    return IoError::kNone;
  }

 private:
  std::string& bytes_;
};

}  // namespace

void MemoryFileSystem::AddNode(const std::string& path, Node node) {
  node.entry.name = NameOf(path);
  node.index = nextIndex_++;
  const std::string parent = ParentOf(path);
  auto it = nodes_.find(parent);
  if (it != nodes_.end()) it->second.children.push_back(node.entry.name);
  nodes_[path] = std::move(node);
}

void MemoryFileSystem::AddDirectory(const std::string& path, UtcDateTime created,
                                    std::uint32_t extra) {
  Node node;
  node.entry.attributes = kAttrDirectory | extra;
  node.entry.created = created;
  AddNode(path, std::move(node));
}

void MemoryFileSystem::AddFile(const std::string& path, std::uint64_t size, UtcDateTime created,
                               std::uint32_t extra) {
  Node node;
  node.entry.attributes = kAttrArchive | extra;
  node.entry.size = size;
  node.entry.created = created;
  AddNode(path, std::move(node));
}

void MemoryFileSystem::AddLink(const std::string& path, const std::string& target) {
  Node node;
  node.entry.attributes = kAttrDirectory | kAttrReparsePoint;
  node.linkTarget = target;
  AddNode(path, std::move(node));
}

void MemoryFileSystem::MakeUnlistable(const std::string& path) {
  nodes_[path].unlistable = true;
}

void MemoryFileSystem::MarkNameAltered(const std::string& path) {
  nodes_.at(path).entry.nameAltered = true;
}

std::string MemoryFileSystem::Resolve(const std::string& path) const {
  // "\\C\S\a\b": the computer is the first component; links may stand anywhere after it.
  std::size_t from = path.find('\\', 2);
  std::string current = path.substr(0, from);
  while (from != std::string::npos) {
    const std::size_t to = path.find('\\', from + 1);
    current += path.substr(from, to == std::string::npos ? std::string::npos : to - from);
    auto it = nodes_.find(current);
    if (it != nodes_.end() && !it->second.linkTarget.empty()) current = it->second.linkTarget;
    from = to;
  }
  return current;
}

std::unique_ptr<DirectoryListing> MemoryFileSystem::List(const std::string& pattern,
                                                         IoError& error) {
  const std::string dir = ParentOf(pattern);
  listed.push_back(dir);
  if (onList) onList(dir);
  auto it = nodes_.find(Resolve(dir));
  if (it == nodes_.end() || it->second.unlistable ||
      (it->second.entry.attributes & kAttrDirectory) == 0) {
    error = it == nodes_.end() ? IoError::kNotFound : IoError::kAccessDenied;
    return nullptr;
  }
  std::vector<DirEntry> entries;
  DirEntry dot;
  dot.attributes = kAttrDirectory;
  dot.name = ".";
  entries.push_back(dot);
  dot.name = "..";
  entries.push_back(dot);
  for (const std::string& name : it->second.children) {
    entries.push_back(nodes_.at(it->first + "\\" + name).entry);
  }
  error = IoError::kNone;
  return std::make_unique<MemoryListing>(std::move(entries));
}

std::unique_ptr<DirectoryListing> MemoryFileSystem::ListNames(const std::string& pattern,
                                                              IoError& error) {
  std::vector<DirEntry> entries;
  for (const auto& [path, bytes] : files) {
    if (ParentOf(path) != ParentOf(pattern) || !matchesPattern_(NameOf(pattern), NameOf(path)))
      continue;
    DirEntry entry;
    entry.name = NameOf(path);
    entry.attributes = kAttrArchive;
    entry.size = bytes.size();
    entries.push_back(entry);
  }
  error = IoError::kNone;
  return std::make_unique<MemoryListing>(std::move(entries));
}

IoError MemoryFileSystem::IdentifyDirectory(const std::string& path, DirectoryIdentity& identity) {
  ++identifyCalls;
  auto it = nodes_.find(Resolve(path));
  if (it == nodes_.end()) return IoError::kNotFound;
  identity.volume = 7;
  identity.index = it->second.index;
  return IoError::kNone;
}

std::unique_ptr<OutputFile> MemoryFileSystem::Create(const std::string& path, IoError& error) {
  error = IoError::kNone;
  std::string& bytes = files[path];
  bytes.clear();
  return std::make_unique<MemoryOutputFile>(bytes);
}

std::unique_ptr<OutputFile> MemoryFileSystem::CreateNew(const std::string& path, IoError& error) {
  if (files.count(path) != 0 || heldOpen.count(path) != 0) {
    error = IoError::kAlreadyExists;
    return nullptr;
  }
  return Create(path, error);
}

IoError MemoryFileSystem::RemoveIfAbandoned(const std::string& path) {
  return heldOpen.count(path) != 0 ? IoError::kSharingViolation : Remove(path);
}

IoError MemoryFileSystem::Remove(const std::string& path) {
  return files.erase(path) == 1 ? IoError::kNone : IoError::kNotFound;
}

IoError MemoryFileSystem::Replace(const std::string& from, const std::string& to) {
  auto it = files.find(from);
  if (it == files.end()) return IoError::kNotFound;
  std::string bytes = std::move(it->second);
  files.erase(it);
  files[to] = std::move(bytes);
  return IoError::kNone;
}

IoError MemoryFileSystem::MakeDirectory(const std::string&) {
  return IoError::kNone;
}

IoError MemoryFileSystem::ReadWholeExclusive(const std::string& path, std::uint64_t maxBytes,
                                             std::vector<char>& contents) {
  auto it = files.find(path);
  if (it == files.end()) return IoError::kNotFound;
  if (heldOpen.count(path) != 0) return IoError::kSharingViolation;
  if (it->second.size() > maxBytes) return IoError::kTooLarge;
  contents.assign(it->second.begin(), it->second.end());
  contents.push_back('\0');
  return IoError::kNone;
}

namespace {

class MemoryInputFile final : public InputFile {
 public:
  MemoryInputFile(const MemoryFileSystem& fs, std::string path, const FileStamp& stamp)
      : fs_(fs), path_(std::move(path)), stamp_(stamp) {}
  const FileStamp& stamp() const override { return stamp_; }
  IoError ReadAt(std::uint64_t offset, char* buffer, std::size_t size, std::size_t& read) override {
    read = 0;
    const auto it = fs_.files.find(path_);
    if (it == fs_.files.end()) return IoError::kNotFound;
    const std::string& bytes = it->second;
    if (offset >= bytes.size()) return IoError::kNone;
    read = std::min(size, bytes.size() - static_cast<std::size_t>(offset));
    std::memcpy(buffer, bytes.data() + offset, read);
    return IoError::kNone;
  }

 private:
  const MemoryFileSystem& fs_;
  std::string path_;
  FileStamp stamp_;
};

}  // namespace

std::unique_ptr<InputFile> MemoryFileSystem::OpenExclusive(const std::string& path,
                                                           IoError& error) {
  const auto it = files.find(path);
  error = it == files.end()           ? IoError::kNotFound
          : heldOpen.count(path) != 0 ? IoError::kSharingViolation
                                      : IoError::kNone;
  if (error != IoError::kNone) return nullptr;
  FileStamp stamp;
  stamp.size = it->second.size();
  stamp.written = HashOfBytes(it->second);
  return std::make_unique<MemoryInputFile>(*this, path, stamp);
}

}  // namespace mv
