// A file system decorator that fails chosen writes, closes, renames or removals, for the
// tests of what the writer and the library do when the disk lets them down.
#pragma once

#include <memory>
#include <utility>

#include "forwarding_file_system.h"

namespace mv::test {

// A file system that passes everything through but fails the Nth write (counted from 1 over
// every file written), every close, every rename or every removal, as a full disk, a medium
// that went away or another program holding the file would.
class FaultyFileSystem : public ForwardingFileSystem {
 public:
  using ForwardingFileSystem::ForwardingFileSystem;

  int failWrite = 0;  // 0: no write fails
  bool failClose = false;
  bool failReplace = false;
  bool failRemove = false;
  IoError failCreate = IoError::kNone;
  int writes = 0;  // writes seen so far

  std::unique_ptr<OutputFile> Create(const std::string& path, IoError& error) override {
    if (failCreate != IoError::kNone) {
      error = failCreate;
      return nullptr;
    }
    std::unique_ptr<OutputFile> inner = inner_.Create(path, error);
    if (inner == nullptr) return nullptr;
    return std::make_unique<Output>(std::move(inner), *this);
  }
  IoError Remove(const std::string& path) override {
    return failRemove ? IoError::kSharingViolation : inner_.Remove(path);
  }
  IoError Replace(const std::string& from, const std::string& to) override {
    return failReplace ? IoError::kAccessDenied : inner_.Replace(from, to);
  }

 private:
  class Output final : public OutputFile {
   public:
    Output(std::unique_ptr<OutputFile> inner, FaultyFileSystem& owner)
        : inner_(std::move(inner)), owner_(owner) {}
    IoError Write(const void* data, std::size_t size) override {
      if (++owner_.writes == owner_.failWrite) {
        // A full disk takes part of the bytes, then refuses.
        inner_->Write(data, size / 2);
        return IoError::kDiskFull;
      }
      return inner_->Write(data, size);
    }
    IoError ReadBack(std::uint64_t offset, void* data, std::size_t size,
                     std::size_t& got) override {
      return inner_->ReadBack(offset, data, size, got);
    }
    IoError Close() override {
      const IoError closed = inner_->Close();
      return owner_.failClose ? IoError::kOther : closed;
    }

   private:
    std::unique_ptr<OutputFile> inner_;
    FaultyFileSystem& owner_;
  };
};

}  // namespace mv::test
