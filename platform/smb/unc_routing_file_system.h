// One file system of two: UNC paths (\\COMPUTER\SHARE\...) go to one backend, every other
// path to another. The SMB client reads shares through it while snapshots are written to
// local folders.
#pragma once

#include "platform/file_system.h"

namespace mv::smb {

class UncRoutingFileSystem final : public FileSystem {
 public:
  // Both must outlive the router.
  UncRoutingFileSystem(FileSystem& unc, FileSystem& local) : unc_(unc), local_(local) {}

  std::unique_ptr<DirectoryListing> List(const std::string& pattern, IoError& error) override;
  // Shares are walked through the UNC backend.
  bool ListsConcurrently() const override { return unc_.ListsConcurrently(); }
  IoError IdentifyDirectory(const std::string& path, DirectoryIdentity& identity) override;
  std::unique_ptr<DirectoryListing> ListNames(const std::string& pattern, IoError& error) override {
    return For(pattern).ListNames(pattern, error);
  }
  std::unique_ptr<OutputFile> Create(const std::string& path, IoError& error) override;
  // The writer's own calls go to the backend that made its file, with that backend's rules
  // for files held by a live writer.
  std::unique_ptr<OutputFile> CreateNew(const std::string& path, IoError& error) override {
    return For(path).CreateNew(path, error);
  }
  IoError RemoveIfAbandoned(const std::string& path) override {
    return For(path).RemoveIfAbandoned(path);
  }
  IoError Publish(OutputFile& file, const std::string& from, const std::string& to,
                  bool& kept) override {
    return For(from).Publish(file, from, to, kept);
  }
  IoError Remove(const std::string& path) override;
  // Both names lie in one directory, so the first one decides.
  IoError Replace(const std::string& from, const std::string& to) override;
  IoError MakeDirectory(const std::string& path) override;
  IoError ReadWholeExclusive(const std::string& path, std::uint64_t maxBytes,
                             std::vector<char>& contents) override;
  std::unique_ptr<InputFile> OpenExclusive(const std::string& path, IoError& error) override {
    return For(path).OpenExclusive(path, error);
  }
  // A computer is reached only through UNC paths.
  IoError LogOn(const std::string& computer) override { return unc_.LogOn(computer); }

 private:
  FileSystem& For(const std::string& path);

  FileSystem& unc_;
  FileSystem& local_;
};

}  // namespace mv::smb
