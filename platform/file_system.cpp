// What every file system backend shares: files read in pieces out of a whole read where a
// backend has no cheaper way to give them.
#include "platform/file_system.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/threading.h"

namespace mv {
namespace {

// Bytes in memory served in pieces; the stamp has their size and a hash of them in place of
// a last write.
class BytesInput : public InputFile {
 public:
  explicit BytesInput(std::string_view bytes) { View(bytes); }
  const FileStamp& stamp() const override { return stamp_; }
  IoError ReadAt(std::uint64_t offset, char* buffer, std::size_t size, std::size_t& read) override {
    read = 0;
    if (offset >= bytes_.size()) return IoError::kNone;
    const auto at = static_cast<std::size_t>(offset);
    read = std::min(size, bytes_.size() - at);
    std::memcpy(buffer, bytes_.data() + at, read);
    return IoError::kNone;
  }

 protected:
  void View(std::string_view bytes) {
    bytes_ = bytes;
    stamp_.size = bytes.size();
    stamp_.written = HashOfBytes(bytes);
  }

 private:
  std::string_view bytes_;
  FileStamp stamp_;
};

// A file read whole by ReadWholeExclusive, served in pieces.
class BufferInput final : public BytesInput {
 public:
  explicit BufferInput(std::vector<char> buffer)
      : BytesInput(std::string_view()), buffer_(std::move(buffer)) {
    if (!buffer_.empty()) buffer_.pop_back();  // the NUL the port appends
    View(std::string_view(buffer_.data(), buffer_.size()));
  }

 private:
  std::vector<char> buffer_;
};

}  // namespace

std::uint64_t HashOfBytes(std::string_view bytes) {
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (const char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
  return hash;
}

std::unique_ptr<InputFile> InputFileOfBytes(std::string_view bytes) {
  return std::make_unique<BytesInput>(bytes);
}

std::unique_ptr<InputFile> FileSystem::OpenExclusive(const std::string& path, IoError& error) {
  std::vector<char> buffer;
  error = ReadWholeExclusive(path, UINT64_MAX, buffer);
  if (error != IoError::kNone) return nullptr;
  return std::make_unique<BufferInput>(std::move(buffer));
}

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

}  // namespace mv
