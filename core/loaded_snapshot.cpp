// Reading a snapshot file into memory: one read, lines cut in place, header and share
// sections checked, and the path index that finds a directory's entry block by prefix.
#include "core/loaded_snapshot.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

#include "core/parsed_entry.h"
#include "core/text.h"

namespace mv {
namespace {

// The header keys stand in lines 2 to 5, in any order.
constexpr int kFirstHeaderLine = 1;
constexpr int kLastHeaderLine = 4;

std::string PathKey(std::string_view path) {
  std::string key(path);
  if (key.empty() || key.back() != kPathSeparator) key += kPathSeparator;
  return key;
}

bool IsLineEnd(char c) {
  return c == '\r' || c == '\n';
}

// The bytes of word (first byte lowest) that are below 0x0E, the range that holds CR, LF
// and NUL, marked by their top bit. The lowest mark is exact; marks above it may be borrows.
std::uint64_t LowBytes(std::uint64_t word) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kHighBits = 0x8080808080808080u;
  return (word - kOnes * 0x0E) & ~word & kHighBits;
}

// The position of the first CR, LF or NUL at or after i, or end. Nearly every word of a
// snapshot holds no byte below 0x0E and is skipped whole.
std::size_t SkipLineText(const char* base, std::size_t i, std::size_t end) {
  for (;;) {
    // The word trick needs the first byte in the lowest bits; elsewhere bytes go one by one.
    while (std::endian::native == std::endian::little && i + 8 <= end) {
      std::uint64_t word;
      std::memcpy(&word, base + i, sizeof word);
      const std::uint64_t marks = LowBytes(word);
      if (marks != 0) {
        i += static_cast<std::size_t>(std::countr_zero(marks) / 8);
        break;
      }
      i += 8;
    }
    if (i == end) return i;
    const char c = base[i];
    if (c == '\r' || c == '\n' || c == '\0') return i;
    ++i;
  }
}

// Reads the file; outOfMemory tells when no room could be had for it.
IoError ViewFile(FileSystem& fs, const std::string& path, std::unique_ptr<FileContents>& contents,
                 bool& outOfMemory) {
  outOfMemory = false;
  try {
    return fs.ViewWholeExclusive(path, kMaxSnapshotBytes, contents);
  } catch (const std::bad_alloc&) {
    outOfMemory = true;
    return IoError::kOther;
  }
}

}  // namespace

const char* DescribeLoadResult(LoadResult result) {
  switch (result) {
    case LoadResult::kAccepted:
      return "the file was accepted";
    case LoadResult::kCannotOpen:
      return "the file cannot be opened";
    case LoadResult::kTooLarge:
      return "the file is larger than any snapshot can be";
    case LoadResult::kNotASnapshot:
      return "the file has no complete snapshot header";
    case LoadResult::kTooManyLines:
      return "the file has more lines than a snapshot can hold";
    case LoadResult::kTooManyShares:
      return "the file has more share sections than a snapshot can hold";
    case LoadResult::kNoShares:
      return "the file holds no share";
  }
  return "the file was refused";
}

int SplitLines(std::string_view text, std::vector<LineRef>& lines, int maxLines) {
  lines.clear();
  const char* const base = text.data();
  const std::size_t end = text.size();
  // Every line but the last has at least one character and one terminator.
  const std::size_t mostLines =
      std::min<std::size_t>(static_cast<std::size_t>(maxLines), end / 2 + 1);
  if (lines.capacity() < mostLines) lines.reserve(mostLines);
  std::size_t i = 0;
  while (i < end) {
    if (IsLineEnd(base[i])) {
      ++i;
      continue;
    }
    if (lines.size() == static_cast<std::size_t>(maxLines)) return -1;
    const std::size_t start = i;
    i = SkipLineText(base, i, end);
    const std::size_t length = i - start;
    // A NUL inside the line ends its text; the rest up to the line end is not read.
    while (i < end && !IsLineEnd(base[i])) ++i;
    lines.push_back({static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(length)});
  }
  return static_cast<int>(lines.size());
}

LoadResult LoadedSnapshot::Load(FileSystem& fs, const std::string& path) {
  std::unique_ptr<FileContents> contents;
  bool outOfMemory = false;
  IoError error = ViewFile(fs, path, contents, outOfMemory);
  if (outOfMemory && contents_ != nullptr) {
    // A 32-bit process may find no room for a second large file beside the one it holds:
    // the file held goes first, and the read is tried once more.
    Clear();
    error = ViewFile(fs, path, contents, outOfMemory);
  }
  if (error == IoError::kTooLarge) return LoadResult::kTooLarge;
  if (error != IoError::kNone) return LoadResult::kCannotOpen;

  Clear();
  contents_ = std::move(contents);
  text_ = contents_->bytes();
  int count = 0;
  try {
    count = SplitLines(text_, lines_, kMaxSnapshotLines);
  } catch (const std::bad_alloc&) {
    ReleaseText();
    return LoadResult::kCannotOpen;  // no room for the line table
  }
  ReadHeader();
  if (lines_.empty() || !EqualsIgnoreCase(Line(0), kMagicLine) || info_.version.empty() ||
      info_.computer.empty() || info_.group.empty() || info_.created.empty()) {
    return Refuse(LoadResult::kNotASnapshot);
  }
  if (count < 0) return Refuse(LoadResult::kTooManyLines);
  info_.path = path;
  if (!ReadShareSections()) return Refuse(LoadResult::kTooManyShares);
  if (shareNames_.empty()) return Refuse(LoadResult::kNoShares);
  CountEntries();
  return LoadResult::kAccepted;
}

void LoadedSnapshot::ReleaseText() {
  text_ = {};
  contents_.reset();
  std::vector<LineRef>().swap(lines_);
}

void LoadedSnapshot::Clear() {
  ReleaseText();
  info_ = SnapshotInfo{};
  shareNames_.clear();
  firstShareLine_ = -1;
  pathIndex_.fill(PathRange{});
}

LoadResult LoadedSnapshot::Refuse(LoadResult result) {
  ReleaseText();
  shareNames_.clear();
  firstShareLine_ = -1;
  pathIndex_.fill(PathRange{});
  info_.path.clear();
  info_.directoryCount = 0;
  info_.fileCount = 0;
  return result;
}

void LoadedSnapshot::ReadHeader() {
  const int last = std::min(kLastHeaderLine, lineCount() - 1);
  for (int i = kFirstHeaderLine; i <= last; ++i) {
    const std::string_view line = Line(i);
    if (StartsWithIgnoreCase(line, kVersionKey)) {
      info_.version = line.substr(kVersionKey.size());
    } else if (StartsWithIgnoreCase(line, kComputerKey)) {
      info_.computer = line.substr(kComputerKey.size());
    } else if (StartsWithIgnoreCase(line, kGroupKey)) {
      info_.group = line.substr(kGroupKey.size());
    } else if (StartsWithIgnoreCase(line, kDateCreatedKey)) {
      info_.created = line.substr(kDateCreatedKey.size());
    }
  }
}

bool LoadedSnapshot::ReadShareSections() {
  // start is 0 while no section is open: a section never begins at the magic line.
  int start = 0;
  std::string_view current;
  for (int i = 0; i < lineCount(); ++i) {
    const std::string_view line = Line(i);
    const bool shareHeader = StartsWithIgnoreCase(line, kShareNameKey);
    if (!shareHeader && !EqualsIgnoreCase(line, kEndLine)) continue;
    if (start != 0) AddPathRange(current, start, i - 1);
    if (shareHeader) {
      if (shareCount() == kMaxShares) return false;
      if (firstShareLine_ < 0) firstShareLine_ = i;
      current = line.substr(kShareNameKey.size());
      shareNames_.emplace_back(current);
    }
    start = i + 1;
  }
  return true;
}

void LoadedSnapshot::CountEntries() {
  info_.fileCount = 0;
  info_.directoryCount = 0;
  if (firstShareLine_ < 0) return;
  for (int i = firstShareLine_ + 1; i < lineCount(); ++i) {
    // The kind field as the listing reads it, counted only in the lower case a writer writes.
    const std::string_view kind = SplitEntryFields(Line(i))[1];
    if (kind == kTypeFile) ++info_.fileCount;
    if (kind == kTypeDirectory) ++info_.directoryCount;
  }
}

void LoadedSnapshot::AddPathRange(std::string_view path, int firstLine, int lastLine) {
  const std::string key = PathKey(path);
  PathRange* freeSlot = nullptr;
  for (PathRange& slot : pathIndex_) {
    if (slot.inUse) {
      if (EqualsIgnoreCase(slot.path, key)) return;
    } else if (freeSlot == nullptr) {
      freeSlot = &slot;
    }
  }
  if (freeSlot == nullptr) return;
  freeSlot->inUse = true;
  freeSlot->path = key;
  freeSlot->firstLine = firstLine;
  freeSlot->lastLine = lastLine;
}

int LoadedSnapshot::FindLongestPrefix(std::string_view path) const {
  int best = -1;
  for (int i = 0; i < kPathIndexSlots; ++i) {
    const PathRange& slot = pathIndex_[static_cast<std::size_t>(i)];
    if (!slot.inUse || !StartsWithIgnoreCase(path, slot.path)) continue;
    if (best < 0 || slot.path.size() > pathIndex_[static_cast<std::size_t>(best)].path.size()) {
      best = i;
    }
  }
  return best;
}

int LoadedSnapshot::ShareLastLine(std::string_view key) const {
  const std::string_view share = key.substr(0, key.find(kPathSeparator) + 1);
  for (const PathRange& slot : pathIndex_) {
    if (slot.inUse && EqualsIgnoreCase(slot.path, share)) return slot.lastLine;
  }
  return -1;
}

bool LoadedSnapshot::FindPathRange(std::string_view path, PathLocation& location) {
  location = PathLocation{};
  const std::string key = PathKey(path);
  const std::size_t rootEnd = key.find(kPathSeparator) + 1;
  const auto depth = std::count(key.begin(), key.end(), kPathSeparator);
  const int found = FindLongestPrefix(key);
  if (found < 0) return false;
  const PathRange& slot = pathIndex_[static_cast<std::size_t>(found)];
  const int nameOffset = static_cast<int>(key.size() - rootEnd);
  if (depth != 1 && EqualsIgnoreCase(slot.path, key)) {
    location = {nameOffset, slot.firstLine, slot.lastLine};
    return true;
  }
  // Scans never leave the share named by the key's first component, so two shares that
  // hold a directory of the same name stay apart.
  const int shareLast = std::min(ShareLastLine(key), lineCount() - 1);
  const int first = slot.firstLine;

  if (rootEnd == key.size()) {
    int last = first - 1;
    while (last + 1 <= shareLast && Line(last + 1).find(kPathSeparator) == std::string_view::npos)
      ++last;
    location = {0, first, last};
    return true;
  }

  const std::string_view rel = std::string_view(key).substr(rootEnd);
  int blockFirst = -1;
  for (int i = std::max(first, 0); i <= shareLast; ++i) {
    if (StartsWithIgnoreCase(Line(i), rel)) {
      blockFirst = i;
      break;
    }
  }
  if (blockFirst < 0) return false;
  int blockLast = blockFirst;
  while (blockLast + 1 <= shareLast) {
    const std::string_view next = Line(blockLast + 1);
    if (!StartsWithIgnoreCase(next, rel) ||
        next.find(kPathSeparator, rel.size()) != std::string_view::npos) {
      break;
    }
    ++blockLast;
  }
  AddPathRange(key, blockFirst, blockLast);
  location = {nameOffset, blockFirst, blockLast};
  return true;
}

}  // namespace mv
