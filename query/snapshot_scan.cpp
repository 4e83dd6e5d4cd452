// One pass over a snapshot's lines: header and share sections, with the
// loader's acceptance rules; and entry lines taken apart by the one entry-line parser.
#include "query/snapshot_scan.h"

#include <cstring>

#include "core/byte_words.h"
#include "core/encoding_line.h"
#include "core/parsed_entry.h"
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

LoadResult ScanSnapshot(std::string_view text, SnapshotLayout& layout) {
  layout = SnapshotLayout{};
  layout.lines = ShapeOfLines(text);
  LineCursor lines(text, layout.lines);
  std::string_view line;
  std::size_t& count = layout.lineCount;
  bool magic = false;
  bool open = false;  // a share section is open and starts at openedAt
  bool encodingRead = false;
  std::size_t openedAt = 0;
  while (lines.Next(line)) {
    if (++count == 1) {
      magic = EqualsIgnoreCase(line, kMagicLine);
      continue;
    }
    if (count <= kLastHeaderLine) ReadHeaderLine(line, layout);
    if (!encodingRead && layout.shares.empty()) {
      encodingRead = ReadEncodingLine(line, layout.encoding);
    }
    const char first = line.empty() ? '\0' : AsciiLower(line[0]);
    const bool shareHeader = first == 's' && StartsWithIgnoreCase(line, kShareNameKey);
    if (!shareHeader && !(first == 'e' && EqualsIgnoreCase(line, kEndLine))) continue;
    if (open) layout.shares.back().entries = text.substr(openedAt, lines.lineStart() - openedAt);
    open = shareHeader;
    if (!open) continue;
    layout.shares.push_back({line.substr(kShareNameKey.size()), {}});
    openedAt = lines.position();
  }
  if (!magic || layout.version.empty() || layout.computer.empty() || layout.group.empty() ||
      layout.created.empty()) {
    return LoadResult::kNotASnapshot;
  }
  if (layout.shares.empty()) return LoadResult::kNoShares;
  return LoadResult::kAccepted;
}

bool ReadSnapshotLayout(FileSystem& fileSystem, const std::string& path, SnapshotText& text,
                        SnapshotLayout& layout, std::string& reason) {
  if (const IoError error = ReadSnapshotText(fileSystem, path, text); error != IoError::kNone) {
    reason = std::string("cannot be read: ") + DescribeIoError(error);
    return false;
  }
  if (const LoadResult result = ScanSnapshot(text.view(), layout);
      result != LoadResult::kAccepted) {
    reason = std::string("is corrupted: ") + DescribeLoadResult(result);
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
