// One pass over a snapshot's lines in pieces: header and share sections, with the loader's
// acceptance rules; sections read again in stretches of whole lines; and entry lines taken
// apart by the one entry-line parser.
#include "query/snapshot_scan.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "core/byte_words.h"
#include "core/encoding_line.h"
#include "core/line_cutter.h"
#include "core/parsed_entry.h"
#include "core/read_ahead.h"
#include "core/snapshot_format.h"
#include "core/text.h"

namespace mv {
namespace {

// The header keys stand in lines 2 to 5, in any order.
constexpr std::size_t kLastHeaderLine = 5;

std::size_t FindByte(std::string_view text, std::size_t from, char byte) {
  const void* found = std::memchr(text.data() + from, byte, text.size() - from);
  return found == nullptr ? text.size() : static_cast<const char*>(found) - text.data();
}

bool IsLineEnd(char c) {
  return c == '\r' || c == '\n';
}

// The last backslash of a path, a word at a time from its end (the name after it is the
// longest part of most paths).
std::size_t LastSeparator(std::string_view path) {
  std::size_t end = path.size();
  if constexpr (words::kUsable) {
    for (; end >= 8; end -= 8) {
      const std::uint64_t marks =
          words::BytesEqual(words::Load(path.data() + end - 8), kPathSeparator);
      if (marks != 0) return end - 8 + words::LastMarked(marks);
    }
  }
  while (end > 0) {
    if (path[--end] == kPathSeparator) return end;
  }
  return std::string_view::npos;
}

void ReadHeaderLine(std::string_view line, SnapshotLayout& layout) {
  if (StartsWithIgnoreCase(line, kVersionKey)) {
    layout.version = line.substr(kVersionKey.size());
  } else if (StartsWithIgnoreCase(line, kComputerKey)) {
    layout.computer = line.substr(kComputerKey.size());
  } else if (StartsWithIgnoreCase(line, kGroupKey)) {
    layout.group = line.substr(kGroupKey.size());
  } else if (StartsWithIgnoreCase(line, kDateCreatedKey)) {
    layout.created = line.substr(kDateCreatedKey.size());
  }
}

}  // namespace

LineShape ShapeOfLines(std::string_view text) {
  // One plain loop over the bytes, which the compiler turns into vector instructions; flags
  // of one byte keep the vectors wide.
  unsigned char loneCr = 0, nul = 0;
  const std::size_t n = text.size();
  for (std::size_t i = 0; i + 1 < n; ++i) {
    loneCr |= static_cast<unsigned char>(static_cast<unsigned char>(text[i] == '\r') &
                                         static_cast<unsigned char>(text[i + 1] != '\n'));
    nul |= static_cast<unsigned char>(text[i] == '\0');
  }
  if (n > 0) {
    loneCr |= static_cast<unsigned char>(text[n - 1] == '\r');
    nul |= static_cast<unsigned char>(text[n - 1] == '\0');
  }
  return {nul != 0, loneCr == 0};
}

bool LineCursor::Next(std::string_view& line) {
  while (position_ < text_.size() && IsLineEnd(text_[position_])) ++position_;
  if (position_ == text_.size()) return false;
  std::size_t end;
  if (shape_.crOnlyBeforeLf) {
    end = FindByte(text_, position_, '\n');
    if (text_[end - 1] == '\r') --end;
  } else {
    if (!sought_ || nextCr_ < position_) nextCr_ = FindByte(text_, position_, '\r');
    if (!sought_ || nextLf_ < position_) nextLf_ = FindByte(text_, position_, '\n');
    sought_ = true;
    end = nextCr_ < nextLf_ ? nextCr_ : nextLf_;
  }
  lineStart_ = position_;
  std::size_t length = end - position_;
  if (shape_.hasNul) {
    if (const void* nul = std::memchr(text_.data() + position_, '\0', length)) {
      length = static_cast<std::size_t>(static_cast<const char*>(nul) - (text_.data() + position_));
    }
  }
  line = text_.substr(position_, length);
  position_ = end;
  return true;
}

std::size_t LineEndAt(std::string_view text, std::size_t pos) {
  while (pos < text.size() && !IsLineEnd(text[pos])) ++pos;
  return pos;
}

std::size_t LineStartAt(std::string_view text, std::size_t pos) {
  while (pos > 0 && !IsLineEnd(text[pos - 1])) --pos;
  return pos;
}

LoadResult ScanSnapshot(std::shared_ptr<InputFile> file, SnapshotLayout& layout) {
  layout = SnapshotLayout{};
  std::uint64_t& count = layout.lineCount;
  bool magic = false;
  bool open = false;        // a share section is open
  bool awaitBegin = false;  // its entries begin with the next line
  bool encodingRead = false;
  const auto visit = [&](std::uint64_t start, std::string_view line) {
    if (awaitBegin) {
      layout.shares.back().begin = start;
      awaitBegin = false;
    }
    if (++count == 1) {
      magic = EqualsIgnoreCase(line, kMagicLine);
      return true;
    }
    if (count <= kLastHeaderLine) ReadHeaderLine(line, layout);
    if (!encodingRead && layout.shares.empty()) {
      encodingRead = ReadEncodingLine(line, layout.encoding);
    }
    const char first = line.empty() ? '\0' : AsciiLower(line[0]);
    const bool shareHeader = first == 's' && StartsWithIgnoreCase(line, kShareNameKey);
    if (!shareHeader && !(first == 'e' && EqualsIgnoreCase(line, kEndLine))) return true;
    if (open) layout.shares.back().end = start;
    open = shareHeader;
    if (!open) return true;
    layout.shares.push_back({std::string(line.substr(kShareNameKey.size())), 0, 0});
    awaitBegin = true;
    return true;
  };
  const std::uint64_t size = file->stamp().size;
  LineCutter cutter;
  LineCutter::Status status = LineCutter::Status::kGoOn;
  {
    ReadAhead pieces(*file, size, kReadPieceBytes);
    std::string_view piece;
    bool failed = false;
    while (status == LineCutter::Status::kGoOn && pieces.Next(piece, failed)) {
      status = cutter.Feed(piece, visit);
    }
    if (failed) return LoadResult::kCannotOpen;
  }
  if (status == LineCutter::Status::kGoOn) status = cutter.Finish(visit);
  if (status == LineCutter::Status::kLineTooLong) return LoadResult::kTooLarge;
  // A section that nothing closed has no entries.
  if (open) layout.shares.back().begin = layout.shares.back().end = 0;
  layout.file = std::move(file);
  if (!magic || layout.version.empty() || layout.computer.empty() || layout.group.empty() ||
      layout.created.empty()) {
    return LoadResult::kNotASnapshot;
  }
  if (layout.shares.empty()) return LoadResult::kNoShares;
  return LoadResult::kAccepted;
}

LoadResult ScanSnapshot(std::string_view text, SnapshotLayout& layout) {
  return ScanSnapshot(std::shared_ptr<InputFile>(InputFileOfBytes(text)), layout);
}

bool ReadSnapshotLayout(FileSystem& fileSystem, const std::string& path, SnapshotLayout& layout,
                        std::string& reason) {
  layout = SnapshotLayout{};
  IoError error = IoError::kNone;
  std::shared_ptr<InputFile> file;
  try {
    file = fileSystem.OpenExclusive(path, error);
  } catch (const std::bad_alloc&) {
    error = IoError::kOther;  // a backend that reads the file whole found no room
  }
  if (file == nullptr) {
    reason = std::string("cannot be read: ") + DescribeIoError(error);
    return false;
  }
  const LoadResult result = ScanSnapshot(std::move(file), layout);
  if (result == LoadResult::kCannotOpen) {
    reason = std::string("cannot be read: ") + DescribeIoError(IoError::kOther);
    return false;
  }
  if (result != LoadResult::kAccepted) {
    reason = std::string("is corrupted: ") + DescribeLoadResult(result);
    return false;
  }
  return true;
}

bool ForEachLineStretch(
    InputFile& file, std::uint64_t begin, std::uint64_t end,
    const std::function<bool(std::string_view lines, std::uint64_t after)>& visit) {
  if (end <= begin) return true;
  ReadAhead pieces(file, begin, end, kReadPieceBytes);
  // The piece's whole lines after the line that ran on into it; the line that runs on past
  // it, kept up to its first kMaxLineBytes + 1 bytes.
  std::string stretch, carried;
  std::string_view piece;
  bool failed = false;
  std::uint64_t at = begin;  // of the piece
  for (; pieces.Next(piece, failed); at += piece.size()) {
    std::size_t cut = piece.size();
    while (cut > 0 && !IsLineEnd(piece[cut - 1])) --cut;
    if (cut == 0) {
      const std::size_t room = kMaxLineBytes + 1 - std::min(carried.size(), kMaxLineBytes + 1);
      carried.append(piece.substr(0, std::min(room, piece.size())));
      continue;
    }
    std::string_view lines = piece.substr(0, cut);
    if (!carried.empty()) {
      stretch.assign(carried);
      stretch.append(lines);
      lines = stretch;
    }
    if (!visit(lines, at + cut)) return true;
    carried.assign(piece.substr(cut, std::min(piece.size() - cut, kMaxLineBytes + 1)));
  }
  if (failed) return false;
  if (!carried.empty()) visit(carried, end);
  return true;
}

namespace {

// The first line start in [from, limit) of a section that begins at sectionBegin (a line
// start at from itself when the byte before it ends a line), or limit; false when a read
// fails.
bool FindLineStart(InputFile& file, std::uint64_t sectionBegin, std::uint64_t from,
                   std::uint64_t limit, std::uint64_t& found) {
  found = limit;
  if (from <= sectionBegin) {
    found = std::min(sectionBegin, limit);
    return true;
  }
  constexpr std::size_t kStep = 4096;
  char bytes[kStep];
  bool afterBreak = false;
  for (std::uint64_t at = from - 1; at < limit;) {
    const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(kStep, limit - at));
    std::size_t got = 0;
    if (file.ReadAt(at, bytes, want, got) != IoError::kNone || got != want) return false;
    for (std::size_t i = 0; i < got; ++i) {
      const bool isBreak = IsLineEnd(bytes[i]);
      if (afterBreak && !isBreak && at + i >= from) {
        found = at + i;
        return true;
      }
      afterBreak = isBreak;
    }
    at += got;
  }
  return true;
}

}  // namespace

bool ReadLinesBeginningIn(InputFile& file, std::uint64_t sectionBegin, std::uint64_t sectionEnd,
                          std::uint64_t first, std::uint64_t last, std::string& out) {
  out.clear();
  last = std::min(last, sectionEnd);
  std::uint64_t begin = 0, end = 0;
  if (first >= last || !FindLineStart(file, sectionBegin, first, last, begin)) {
    return first >= last;
  }
  if (begin >= last) return true;
  if (!FindLineStart(file, sectionBegin, last, sectionEnd, end)) return false;
  out.resize(static_cast<std::size_t>(end - begin));
  std::size_t got = 0;
  if (file.ReadAt(begin, out.data(), out.size(), got) != IoError::kNone || got != out.size()) {
    out.clear();
    return false;
  }
  return true;
}

bool ReadEntry(std::string_view line, SnapshotEntry& entry) {
  const EntryFields fields = SplitEntryFields(line);
  entry.isDirectory = IsDirectoryType(fields[1]);
  if (!entry.isDirectory && !IsFileType(fields[1])) return false;
  entry.path = fields[0];
  const std::size_t cut = LastSeparator(entry.path);
  entry.directory = cut == std::string_view::npos ? std::string_view() : entry.path.substr(0, cut);
  entry.name = cut == std::string_view::npos ? entry.path : entry.path.substr(cut + 1);
  entry.size = fields[2];
  entry.created = fields[3];
  return true;
}

void AppendLivePath(std::string& out, std::string_view computer, std::string_view share,
                    std::string_view path) {
  out += kPathSeparator;
  out += kPathSeparator;
  out.append(computer);
  out += kPathSeparator;
  out.append(share);
  if (path.empty()) return;
  out += kPathSeparator;
  out.append(path);
}

}  // namespace mv
