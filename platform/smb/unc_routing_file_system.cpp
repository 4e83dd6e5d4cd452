// Each operation goes to the backend that its path belongs to.
#include "platform/smb/unc_routing_file_system.h"

#include "platform/smb/unc_names.h"

namespace mv::smb {

FileSystem& UncRoutingFileSystem::For(const std::string& path) {
  return IsUncPath(path) ? unc_ : local_;
}

std::unique_ptr<DirectoryListing> UncRoutingFileSystem::List(const std::string& pattern,
                                                             IoError& error) {
  return For(pattern).List(pattern, error);
}

IoError UncRoutingFileSystem::IdentifyDirectory(const std::string& path,
                                                DirectoryIdentity& identity) {
  return For(path).IdentifyDirectory(path, identity);
}

std::unique_ptr<OutputFile> UncRoutingFileSystem::Create(const std::string& path, IoError& error) {
  return For(path).Create(path, error);
}

IoError UncRoutingFileSystem::Remove(const std::string& path) {
  return For(path).Remove(path);
}

IoError UncRoutingFileSystem::Replace(const std::string& from, const std::string& to) {
  return For(from).Replace(from, to);
}

IoError UncRoutingFileSystem::MakeDirectory(const std::string& path) {
  return For(path).MakeDirectory(path);
}

IoError UncRoutingFileSystem::ReadWholeExclusive(const std::string& path, std::uint64_t maxBytes,
                                                 std::vector<char>& contents) {
  return For(path).ReadWholeExclusive(path, maxBytes, contents);
}

}  // namespace mv::smb
