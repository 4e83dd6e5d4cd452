// The library export: see library_export.h. Rows come from the JSON Lines export, get the
// snapshot's tags at the front of each line and go through zlib's deflate with a gzip header,
// a buffer at a time, so memory holds the export's few pieces and one compressor.
#include "query/library_export.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "platform/utf8_text.h"
#include "query/export_file.h"
#include "query/snapshot_export.h"

namespace mv {
namespace {

constexpr int kGzipWindowBits = 15 + 16;  // the largest window, with a gzip header and trailer
constexpr int kMemoryLevel = 8;
// The files are written once and kept for a year of queries: the default level makes them a
// fifth smaller than the fastest does, for about two and a half times its time.
constexpr int kLevel = Z_DEFAULT_COMPRESSION;
constexpr std::size_t kOutputBytes = std::size_t{1} << 16;

bool IsEscapedInValue(unsigned char c) {
  static constexpr std::string_view kReserved = "%=/\\:\"#'*?{[]^<>|";
  return c < 0x20 || c == 0x7F || kReserved.find(static_cast<char>(c)) != std::string_view::npos;
}

void AppendEscaped(std::string& out, unsigned char c) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  ((out += '%') += kHex[c >> 4]) += kHex[c & 0xF];
}

void AppendTwoDigits(std::string& out, int value) {
  out += static_cast<char>('0' + value / 10 % 10);
  out += static_cast<char>('0' + value % 10);
}

// "YYYY-MM-DD".
std::string IsoDay(const LocalTime& t) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", t.year % 10000, t.month % 100, t.day % 100);
  return text;
}

// Deflates what it is given into a gzip stream for the next sink.
class GzipSink final : public ByteSink {
 public:
  explicit GzipSink(ByteSink& next) : next_(next), output_(kOutputBytes, '\0') {
    ready_ = deflateInit2(&stream_, kLevel, Z_DEFLATED, kGzipWindowBits, kMemoryLevel,
                          Z_DEFAULT_STRATEGY) == Z_OK;
  }
  ~GzipSink() override {
    if (ready_) deflateEnd(&stream_);
  }
  GzipSink(const GzipSink&) = delete;
  GzipSink& operator=(const GzipSink&) = delete;

  bool Write(std::string_view bytes) override {
    // zlib counts in 32-bit units; the export hands over pieces of a quarter megabyte.
    while (!bytes.empty()) {
      const std::size_t piece = std::min<std::size_t>(bytes.size(), std::size_t{1} << 30);
      if (!Deflate(bytes.substr(0, piece), Z_NO_FLUSH)) return false;
      bytes.remove_prefix(piece);
    }
    return true;
  }
  // The end of the stream: what is still held, and the trailer.
  bool Finish() { return Deflate({}, Z_FINISH); }

 private:
  bool Deflate(std::string_view input, int flush) {
    if (!ready_) return false;
    // zlib reads through a non-const pointer but never writes the input.
    stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
    stream_.avail_in = static_cast<uInt>(input.size());
    int status = Z_OK;
    do {
      stream_.next_out = reinterpret_cast<Bytef*>(output_.data());
      stream_.avail_out = static_cast<uInt>(output_.size());
      status = deflate(&stream_, flush);
      if (status == Z_STREAM_ERROR) return false;
      const std::size_t produced = output_.size() - stream_.avail_out;
      if (produced > 0 && !next_.Write(std::string_view(output_.data(), produced))) return false;
    } while (stream_.avail_out == 0 || (flush == Z_FINISH && status != Z_STREAM_END));
    return true;
  }

  ByteSink& next_;
  std::string output_;
  z_stream stream_{};
  bool ready_ = false;
};

// Puts the tags in front of each row's fields: every row of the JSON Lines export is one
// object on one line, "{...}\n", and no line break is left unescaped inside it.
class TaggingSink final : public ByteSink {
 public:
  TaggingSink(ByteSink& next, const SnapshotTags& tags) : next_(next) {
    std::string group = tags.group, computer = tags.computer;
    ReplaceInvalidUtf8(group);
    ReplaceInvalidUtf8(computer);
    lead_ = "{\"group\":";
    AppendJsonText(group, lead_);
    lead_ += ",\"computer\":";
    AppendJsonText(computer, lead_);
    const LocalTime& t = tags.captured;
    lead_ += ",\"captured\":\"" + IsoDay(t) + 'T';
    AppendTwoDigits(lead_, t.hour);
    lead_ += ':';
    AppendTwoDigits(lead_, t.minute);
    lead_ += ':';
    AppendTwoDigits(lead_, t.second);
    lead_ += "\",";
  }

  bool Write(std::string_view bytes) override {
    text_.clear();
    while (!bytes.empty()) {
      if (atLineStart_ && bytes.front() == '{') {
        text_ += lead_;
        bytes.remove_prefix(1);
      }
      const std::size_t end = bytes.find('\n');
      const std::size_t taken = end == std::string_view::npos ? bytes.size() : end + 1;
      text_.append(bytes.substr(0, taken));
      atLineStart_ = end != std::string_view::npos;
      bytes.remove_prefix(taken);
    }
    return next_.Write(text_);
  }

 private:
  ByteSink& next_;
  std::string lead_, text_;
  bool atLineStart_ = true;
};

// Tells a failed write from a snapshot that could not be read to the end.
class WriteWatch final : public ByteSink {
 public:
  explicit WriteWatch(ByteSink& next) : next_(next) {}
  bool Write(std::string_view bytes) override {
    failed = !next_.Write(bytes);
    return !failed;
  }
  bool failed = false;

 private:
  ByteSink& next_;
};

}  // namespace

std::string PartitionValue(std::string_view name) {
  std::string value;
  value.reserve(name.size());
  const std::size_t trailing = name.find_last_not_of(". ") + 1;  // 0 when all are
  for (std::size_t at = 0; at < name.size(); ++at) {
    const auto c = static_cast<unsigned char>(name[at]);
    if (IsEscapedInValue(c) || at >= trailing) {
      AppendEscaped(value, c);
    } else {
      value += static_cast<char>(c);
    }
  }
  return value;
}

LibraryExportPlace PlaceOfSnapshot(std::string_view group, std::string_view computer,
                                   const LocalTime& captured) {
  LibraryExportPlace place;
  place.folders[0] = "group=" + PartitionValue(group);
  place.folders[1] = "computer=" + PartitionValue(computer);
  place.folders[2] = "date=" + IsoDay(captured);
  place.fileName = "capture-" + IsoDay(captured) + 'T';
  AppendTwoDigits(place.fileName, captured.hour);
  AppendTwoDigits(place.fileName, captured.minute);
  AppendTwoDigits(place.fileName, captured.second);
  place.fileName += ".jsonl.gz";
  return place;
}

bool ExportTaggedLines(const SnapshotLayout& layout, const CodePageDecoder& ansiNames,
                       const SnapshotTags& tags, ByteSink& sink) {
  GzipSink gzip(sink);
  TaggingSink tagged(gzip, tags);
  return ExportSnapshot(layout, ExportFormat::kJsonLines, ansiNames, tagged) && gzip.Finish();
}

LibraryExportResult ExportLibrarySnapshot(FileSystem& fileSystem, const std::string& outFolder,
                                          const std::string& snapshotPath, const SnapshotTags& tags,
                                          const CodePageDecoder& ansiNames, std::string& reason) {
  const LibraryExportPlace place = PlaceOfSnapshot(tags.group, tags.computer, tags.captured);
  std::string folder = outFolder;
  for (const std::string& name : place.folders) {
    AppendPathComponent(folder, name);
    if (const IoError error = fileSystem.MakeDirectory(folder); error != IoError::kNone) {
      reason = "cannot make the folder '" + folder + "': " + DescribeIoError(error);
      return LibraryExportResult::kFailed;
    }
  }
  std::string target = folder;
  AppendPathComponent(target, place.fileName);
  IoError error = IoError::kNone;
  if (auto listing = fileSystem.ListNames(target, error)) {
    if (DirEntry entry; listing->Next(entry)) return LibraryExportResult::kPresent;
  }
  // The temporary files of an export that was stopped before its file was renamed; one that
  // another export is still writing stays.
  if (auto listing = fileSystem.ListNames(target + ".*.partial", error)) {
    for (DirEntry entry; listing->Next(entry);) {
      std::string left = folder;
      AppendPathComponent(left, entry.name);
      fileSystem.RemoveIfAbandoned(left);
    }
  }

  SnapshotLayout layout;
  if (!ReadSnapshotLayout(fileSystem, snapshotPath, layout, reason)) {
    return LibraryExportResult::kFailed;
  }
  bool read = true;
  error = WriteWholeFile(fileSystem, target, [&](ByteSink& sink) {
    WriteWatch watch(sink);
    const bool done = ExportTaggedLines(layout, ansiNames, tags, watch);
    read = done || watch.failed;
    return done;
  });
  if (error == IoError::kNone) return LibraryExportResult::kWritten;
  reason = read ? "cannot write '" + target + "': " + DescribeIoError(error)
                : std::string("could not be read to the end");
  return LibraryExportResult::kFailed;
}

}  // namespace mv
