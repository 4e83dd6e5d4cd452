// What every file system backend shares: whole-file views read into memory where a backend
// has no cheaper way to give them.
#include "platform/file_system.h"

#include <utility>

#include "platform/threading.h"

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

void AppendPathComponent(std::string& path, std::string_view name) {
  path += '\\';
  for (const char c : name) {
    if (c == '\\' || c == '/') path += kPathEscape;
    path += c;
  }
}

bool IsEnterableName(std::string_view name) {
  return !name.empty() && name != "." && name != "..";
}

IoError ReplaceRetrying(FileSystem& fs, const std::string& from, const std::string& to) {
  IoError error = IoError::kNone;
  for (int attempt = 1; attempt <= kPublishAttempts; ++attempt) {
    // A virus scanner or an indexer holding the new file, or a reader the old one, for a
    // moment.
    error = fs.Replace(from, to);
    if (error == IoError::kNone || error == IoError::kNotFound) break;
    if (attempt < kPublishAttempts) SleepMilliseconds(kPublishRetryPauseMs);
  }
  return error;
}

IoError FileSystem::Publish(OutputFile& file, const std::string& from, const std::string& to,
                            bool& kept) {
  kept = false;
  const IoError closed = file.Close();
  if (closed != IoError::kNone) return closed;
  const IoError renamed = ReplaceRetrying(*this, from, to);
  kept = renamed != IoError::kNone;
  return renamed;
}

IoError FileSystem::ViewWholeExclusive(const std::string& path, std::uint64_t maxBytes,
                                       std::unique_ptr<MappedFile>& contents) {
  std::vector<char> buffer;
  const IoError error = ReadWholeExclusive(path, maxBytes, buffer);
  if (error != IoError::kNone) return error;
  contents = std::make_unique<BufferContents>(std::move(buffer));
  return IoError::kNone;
}

}  // namespace mv
