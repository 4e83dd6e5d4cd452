// An export into a file: see export_file.h.
#include "query/export_file.h"

#include <memory>
#include <new>
#include <random>

namespace mv {
namespace {

class FileSink final : public ByteSink {
 public:
  explicit FileSink(OutputFile& file) : file_(file) {}
  bool Write(std::string_view bytes) override {
    error = file_.Write(bytes.data(), bytes.size());
    return error == IoError::kNone;
  }
  IoError error = IoError::kNone;

 private:
  OutputFile& file_;
};

// Passes bytes on while no stop is asked for, counting them.
class WatchedSink final : public ByteSink {
 public:
  WatchedSink(ByteSink& next, const ExportFileRequest& request) : next_(next), request_(request) {}
  bool Write(std::string_view bytes) override {
    if (request_.stop != nullptr && request_.stop->load(std::memory_order_relaxed)) {
      stopped = true;
      return false;
    }
    if (!next_.Write(bytes)) return false;
    written_ += bytes.size();
    if (request_.progress) request_.progress(written_);
    return true;
  }
  bool stopped = false;

 private:
  ByteSink& next_;
  const ExportFileRequest& request_;
  std::uint64_t written_ = 0;
};

// A name beside target, in its folder, that no other export picks at the same time.
std::string TemporaryNameFor(const std::string& target) {
  std::random_device random;
  static constexpr char kHex[] = "0123456789abcdef";
  std::string name = target + ".";
  for (int i = 0; i < 4; ++i) {
    const unsigned bits = random();
    for (int shift = 0; shift < 32; shift += 4) name += kHex[(bits >> shift) & 0xF];
  }
  return name + ".partial";
}

}  // namespace

IoError WriteWholeFile(FileSystem& fileSystem, const std::string& target,
                       const std::function<bool(ByteSink&)>& produce) {
  const std::string temporary = TemporaryNameFor(target);
  IoError error = IoError::kNone;
  const std::unique_ptr<OutputFile> file = fileSystem.Create(temporary, error);
  if (file == nullptr) return error;
  FileSink sink(*file);
  bool written = false;
  try {
    written = produce(sink);
  } catch (const std::bad_alloc&) {
    // The web page holds its name table whole: a snapshot of tens of millions of entries
    // can need more than a 32-bit process has. The export fails; the program goes on.
    sink.error = IoError::kNoMemory;
  }
  error = written ? file->Close() : sink.error;
  // A producer that gave up without a failed write still leaves nothing behind.
  if (!written && error == IoError::kNone) error = IoError::kOther;
  if (error == IoError::kNone) error = fileSystem.Replace(temporary, target);
  if (error != IoError::kNone) {
    file->Close();
    fileSystem.Remove(temporary);
  }
  return error;
}

ExportFileResult ExportSnapshotToFile(FileSystem& fileSystem, const SnapshotLayout& layout,
                                      const CodePageDecoder& decoder, const std::string& target,
                                      const ExportFileRequest& request, IoError& error) {
  bool stopped = false;
  error = WriteWholeFile(fileSystem, target, [&](ByteSink& sink) {
    WatchedSink watched(sink, request);
    const bool done = ExportSnapshot(layout, request.format, decoder, watched, request.threads,
                                     request.csvFields);
    stopped = watched.stopped;
    return done;
  });
  if (stopped) return ExportFileResult::kStopped;
  return error == IoError::kNone ? ExportFileResult::kWritten : ExportFileResult::kFailed;
}

}  // namespace mv
