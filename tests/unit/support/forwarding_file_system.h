// A file system that hands every call to another one: the base of the tests' decorators,
// which override only the calls they change.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace mv::test {

class ForwardingFileSystem : public FileSystem {
 public:
  explicit ForwardingFileSystem(FileSystem& inner) : inner_(inner) {}

  std::unique_ptr<DirectoryListing> List(const std::string& pattern, IoError& error) override {
    return inner_.List(pattern, error);
  }
  IoError IdentifyDirectory(const std::string& path, DirectoryIdentity& identity) override {
    return inner_.IdentifyDirectory(path, identity);
  }
  std::unique_ptr<OutputFile> Create(const std::string& path, IoError& error) override {
    return inner_.Create(path, error);
  }
  IoError Remove(const std::string& path) override { return inner_.Remove(path); }
  IoError Replace(const std::string& from, const std::string& to) override {
    return inner_.Replace(from, to);
  }
  IoError MakeDirectory(const std::string& path) override { return inner_.MakeDirectory(path); }
  IoError ReadWholeExclusive(const std::string& path, std::uint64_t maxBytes,
                             std::vector<char>& contents) override {
    return inner_.ReadWholeExclusive(path, maxBytes, contents);
  }

 protected:
  FileSystem& inner_;
};

}  // namespace mv::test
