// The failing decorator's output files.
#include "faulty_file_system.h"

#include <utility>

namespace mv::test {
namespace {

class FaultyOutputFile final : public OutputFile {
 public:
  FaultyOutputFile(std::unique_ptr<OutputFile> inner, FaultyFileSystem& owner)
      : inner_(std::move(inner)), owner_(owner) {}
  IoError Write(const void* data, std::size_t size) override {
    if (++owner_.writes == owner_.failWrite) {
      // A full disk takes part of the bytes, then refuses.
      inner_->Write(data, size / 2);
      return IoError::kDiskFull;
    }
    return inner_->Write(data, size);
  }
  IoError Close() override {
    const IoError closed = inner_->Close();
    return owner_.failClose ? IoError::kOther : closed;
  }

 private:
  std::unique_ptr<OutputFile> inner_;
  FaultyFileSystem& owner_;
};

}  // namespace

std::unique_ptr<OutputFile> FaultyFileSystem::Create(const std::string& path, IoError& error) {
  if (failCreate != IoError::kNone) {
    error = failCreate;
    return nullptr;
  }
  std::unique_ptr<OutputFile> inner = inner_.Create(path, error);
  if (inner == nullptr) return nullptr;
  return std::make_unique<FaultyOutputFile>(std::move(inner), *this);
}

}  // namespace mv::test
