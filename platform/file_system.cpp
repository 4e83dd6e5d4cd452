// What every file system backend shares: whole-file views read into memory where a backend
// has no cheaper way to give them.
#include "platform/file_system.h"

#include <utility>

namespace mv {
namespace {

// The bytes ReadWholeExclusive read, without the NUL it puts after them.
class BufferContents final : public MappedFile {
 public:
  explicit BufferContents(std::vector<char> buffer) : buffer_(std::move(buffer)) {}
  std::string_view bytes() const override {
    return {buffer_.data(), buffer_.empty() ? 0 : buffer_.size() - 1};
  }

 private:
  std::vector<char> buffer_;
};

}  // namespace

IoError FileSystem::ViewWholeExclusive(const std::string& path, std::uint64_t maxBytes,
                                       std::unique_ptr<MappedFile>& contents) {
  std::vector<char> buffer;
  const IoError error = ReadWholeExclusive(path, maxBytes, buffer);
  if (error != IoError::kNone) return error;
  contents = std::make_unique<BufferContents>(std::move(buffer));
  return IoError::kNone;
}

}  // namespace mv
