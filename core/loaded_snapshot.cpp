// Reading a snapshot file: one pass over the file in pieces that cuts it into lines, finds
// the share sections, counts the entries and learns where each directory's entry block lies;
// the header checked; locations found through what that pass learnt and read again from the
// file, which stays open for them.
#include "core/loaded_snapshot.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>
#include <utility>

#include "core/encoding_line.h"
#include "core/parsed_entry.h"
#include "core/read_ahead.h"
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

// Whether a line beginning with c may be a share header line or the end line.
bool MayStartKey(char c) {
  const char lower = AsciiLower(c);
  return lower == AsciiLower(kShareNameKey.front()) || lower == AsciiLower(kEndLine.front());
}

// The block of lines that begin with prefix and hold no further backslash.
bool RunsOn(std::string_view line, std::string_view prefix) {
  return StartsWithIgnoreCase(line, prefix) &&
         line.find(kPathSeparator, prefix.size()) == std::string_view::npos;
}

}  // namespace

const char* DescribeLoadResult(LoadResult result) {
  switch (result) {
    case LoadResult::kAccepted:
      return "the file was accepted";
    case LoadResult::kCannotOpen:
      return "the file cannot be opened";
    case LoadResult::kTooLarge:
      return "the file is larger than this program can open, or holds a line longer than a "
             "snapshot has";
    case LoadResult::kNotASnapshot:
      return "the file has no complete snapshot header";
    case LoadResult::kNoShares:
      return "the file holds no share";
  }
  return "the file was refused";
}

int SplitLines(std::string_view text, std::vector<LineRef>& lines) {
  lines.clear();
  LineCutter cutter;
  auto keep = [&](std::uint64_t start, std::string_view line) {
    lines.push_back({start, line.size()});
    return true;
  };
  cutter.Feed(text, keep);
  cutter.Finish(keep);
  return static_cast<int>(lines.size());
}

LoadResult LoadedSnapshot::Load(FileSystem& fs, const std::string& path) {
  IoError error = IoError::kNone;
  std::unique_ptr<InputFile> file;
  try {
    file = fs.OpenExclusive(path, error);
  } catch (const std::bad_alloc&) {
    return LoadResult::kCannotOpen;  // a backend that reads the file whole found no room
  }
  if (file == nullptr) return LoadResult::kCannotOpen;
  if (file->stamp().size > kMaxLoadedSnapshotBytes) return LoadResult::kTooLarge;
  LoadedSnapshot next;
  LoadResult read = LoadResult::kCannotOpen;
  try {
    read = next.ReadFile(*file);
  } catch (const std::bad_alloc&) {
    // A 32-bit process may find no room for a second index beside the one it holds: the
    // snapshot held goes first, and the pass is tried once more.
    Clear();
    next.Clear();
    try {
      read = next.ReadFile(*file);
    } catch (const std::bad_alloc&) {
      read = LoadResult::kCannotOpen;
    }
  }
  if (read != LoadResult::kAccepted) return read;
  next.held_ = std::move(file);
  *this = std::move(next);
  if (!EqualsIgnoreCase(magic_, kMagicLine) || info_.version.empty() || info_.computer.empty() ||
      info_.group.empty() || info_.created.empty()) {
    return Refuse(LoadResult::kNotASnapshot);
  }
  info_.path = path;
  if (shareNames_.empty()) return Refuse(LoadResult::kNoShares);
  return LoadResult::kAccepted;
}

LoadResult LoadedSnapshot::ReadFile(InputFile& input) {
  stamp_ = input.stamp();
  // One pass over the file: the header lines, the share header and end lines, the counts of
  // the entry lines after the first share header line, where each share's root block ends
  // and the directory blocks of each section.
  std::vector<std::string> header;
  std::int64_t lines = 0;
  bool sawShare = false;
  bool encodingRead = false;
  bool inSection = false;
  bool rootOpen = false;
  bool full = false;
  int section = -1;
  std::int64_t files = 0;
  std::int64_t directories = 0;
  std::int64_t sectionBegin = -1;
  std::int64_t rootEnd = -1;
  bool awaitBegin = false;
  // A section is found under its name only when it is closed, and only the first of those
  // that carry one name (ignoring case).
  auto closeSection = [&](std::int64_t at) {
    if (!inSection) return;
    std::string key = PathKey(shareNames_.back());
    if (FindShare(key) == nullptr) {
      shareRanges_.push_back({std::move(key), sectionBegin, rootOpen ? at : rootEnd, at, section});
    }
  };
  auto visit = [&](std::uint64_t offset, std::string_view line) {
    const auto start = static_cast<std::int64_t>(offset);
    if (lines++ <= kLastHeaderLine) header.emplace_back(line);
    if (awaitBegin) {
      sectionBegin = start;  // the line after a share header line
      awaitBegin = false;
    }
    if (!sawShare && lines > 1 && !encodingRead) {
      encodingRead = ReadEncodingLine(line, info_.encoding);
    }
    bool isFile = false;
    std::uint64_t fileBytes = 0;
    if (sawShare) {
      // The kind as the listing reads it, counted only in the lower case a writer writes.
      std::string_view size;
      const std::string_view kind = EntryKind(line, &size);
      // The totals take every line the list shows as a file.
      isFile = IsFileType(kind);
      if (isFile) fileBytes = FileSizeBytes(size);
      files += kind == kTypeFile ? 1 : 0;
      directories += kind == kTypeDirectory ? 1 : 0;
    }
    // Nearly every line is an entry line: its first letter rules both keys out.
    const bool mayBeKey = !line.empty() && MayStartKey(line.front());
    const bool shareHeader = mayBeKey && StartsWithIgnoreCase(line, kShareNameKey);
    if (!shareHeader && !(mayBeKey && EqualsIgnoreCase(line, kEndLine))) {
      if (!inSection) return true;
      if (rootOpen && line.find(kPathSeparator) != std::string_view::npos) {
        rootOpen = false;
        rootEnd = start;
      }
      full = !blocks_.AddLine(line, offset, fileBytes, isFile);
      return !full;
    }
    closeSection(start);
    if (!shareHeader) {
      blocks_.EndBlocks(offset);
      inSection = false;
      return true;
    }
    sawShare = true;
    inSection = true;
    rootOpen = true;
    shareNames_.emplace_back(line.substr(kShareNameKey.size()));
    headerOffsets_.push_back(start);
    awaitBegin = true;
    blocks_.BeginSection(++section, offset);
    return true;
  };
  LineCutter cutter;
  LineCutter::Status status = LineCutter::Status::kGoOn;
  {
    ReadAhead pieces(input, stamp_.size, kReadPieceBytes);
    std::string_view piece;
    bool failed = false;
    while (status == LineCutter::Status::kGoOn && pieces.Next(piece, failed)) {
      status = cutter.Feed(piece, visit);
    }
    if (failed) return LoadResult::kCannotOpen;  // unreadable, or cut while it was read
  }
  if (status == LineCutter::Status::kGoOn) status = cutter.Finish(visit);
  if (awaitBegin) sectionBegin = static_cast<std::int64_t>(stamp_.size);
  if (status != LineCutter::Status::kGoOn || full ||
      files > std::numeric_limits<std::int32_t>::max() ||
      directories > std::numeric_limits<std::int32_t>::max()) {
    return LoadResult::kTooLarge;
  }
  blocks_.EndBlocks(stamp_.size);
  blocks_.FinishTotals();
  info_.fileCount = static_cast<std::int32_t>(files);
  info_.directoryCount = static_cast<std::int32_t>(directories);
  if (!header.empty()) magic_ = header.front();
  ReadHeader(header);
  return LoadResult::kAccepted;
}

void LoadedSnapshot::Clear() {
  held_.reset();
  stamp_ = FileStamp{};
  info_ = SnapshotInfo{};
  magic_.clear();
  shareNames_.clear();
  headerOffsets_.clear();
  shareRanges_.clear();
  blocks_.Clear();
}

LoadResult LoadedSnapshot::Refuse(LoadResult result) {
  held_.reset();  // nothing of it is read again, and it may be removed or replaced
  shareNames_.clear();
  headerOffsets_.clear();
  shareRanges_.clear();
  blocks_.Clear();
  info_.path.clear();
  info_.directoryCount = 0;
  info_.fileCount = 0;
  return result;
}

void LoadedSnapshot::ReadHeader(const std::vector<std::string>& lines) {
  const int last = std::min(kLastHeaderLine, static_cast<int>(lines.size()) - 1);
  for (int i = kFirstHeaderLine; i <= last; ++i) {
    const std::string_view line = lines[static_cast<std::size_t>(i)];
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

const LoadedSnapshot::ShareRange* LoadedSnapshot::FindShare(std::string_view key) const {
  for (const ShareRange& share : shareRanges_) {
    if (EqualsIgnoreCase(share.key, key)) return &share;
  }
  return nullptr;
}

const LoadedSnapshot::ShareRange* LoadedSnapshot::FindLongestShare(std::string_view key) const {
  const ShareRange* best = nullptr;
  for (const ShareRange& share : shareRanges_) {
    if (StartsWithIgnoreCase(key, share.key) &&
        (best == nullptr || share.key.size() > best->key.size())) {
      best = &share;
    }
  }
  return best;
}

InputFile* LoadedSnapshot::HeldFile() const {
  readFailed_ = held_ == nullptr;
  return held_.get();
}

bool LoadedSnapshot::ReadBytes(std::int64_t begin, std::int64_t end, std::string& bytes) const {
  bytes.clear();
  if (end <= begin) return HeldFile() != nullptr;
  InputFile* const file = HeldFile();
  if (file == nullptr) return false;
  try {
    bytes.resize(static_cast<std::size_t>(end - begin));
  } catch (const std::bad_alloc&) {
    readFailed_ = true;  // no room for the block: it cannot be read
    return false;
  }
  std::size_t got = 0;
  if (file->ReadAt(static_cast<std::uint64_t>(begin), bytes.data(), bytes.size(), got) !=
          IoError::kNone ||
      got != bytes.size()) {
    readFailed_ = true;
    bytes.clear();
    return false;
  }
  return true;
}

bool LoadedSnapshot::ForEachLine(std::int64_t first, std::int64_t last,
                                 const LineVisit& visit) const {
  InputFile* const file = HeldFile();
  if (file == nullptr) return false;
  first = std::max<std::int64_t>(first, 0);
  const auto size = static_cast<std::int64_t>(stamp_.size);
  last = std::min(last, size - 1);
  if (first > last) return true;
  // From the byte before first: a line that begins before first is seen cut, and skipped.
  std::int64_t at = first > 0 ? first - 1 : 0;
  bool done = false;
  auto each = [&](std::uint64_t offset, std::string_view line) {
    const auto start = static_cast<std::int64_t>(offset);
    if (start > last) {
      done = true;
      return false;
    }
    if (start < first) return true;
    done = !visit(start, line);
    return !done;
  };
  LineCutter cutter;
  cutter.Restart(static_cast<std::uint64_t>(at));
  piece_.resize(kReadPieceBytes);
  while (at < size && !done) {
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::int64_t>(kReadPieceBytes, size - at));
    std::size_t got = 0;
    if (file->ReadAt(static_cast<std::uint64_t>(at), piece_.data(), want, got) != IoError::kNone ||
        got != want) {
      readFailed_ = true;
      return false;
    }
    const LineCutter::Status status = cutter.Feed(std::string_view(piece_.data(), got), each);
    // A line this long was refused by the load: the file is not the one loaded.
    if (status == LineCutter::Status::kLineTooLong) {
      readFailed_ = true;
      return false;
    }
    at += static_cast<std::int64_t>(got);
  }
  if (!done) cutter.Finish(each);
  return true;
}

std::int64_t LoadedSnapshot::ShareHeaderBefore(std::int64_t offset, std::string_view& name) const {
  const auto after = std::upper_bound(headerOffsets_.begin(), headerOffsets_.end(), offset);
  if (after == headerOffsets_.begin()) return -1;
  const auto index = static_cast<std::size_t>(after - headerOffsets_.begin()) - 1;
  name = shareNames_[index];
  return headerOffsets_[index];
}

bool LoadedSnapshot::ScanForBlock(std::string_view prefix, std::int64_t first, std::int64_t last,
                                  PathLocation& location) const {
  std::int64_t blockFirst = -1;
  std::int64_t blockEnd = -1;
  const bool read = ForEachLine(first, last, [&](std::int64_t start, std::string_view line) {
    if (blockFirst < 0) {
      if (StartsWithIgnoreCase(line, prefix)) blockFirst = start;
      return true;
    }
    if (RunsOn(line, prefix)) return true;
    blockEnd = start;
    return false;
  });
  if (!read || blockFirst < 0) return false;
  if (blockEnd < 0) blockEnd = last + 1;
  location.begin = blockFirst;
  location.end = blockEnd;
  return true;
}

bool LoadedSnapshot::FindPathRange(std::string_view path, PathLocation& location) const {
  std::string bytes;
  return ReadPathRange(path, location, bytes);
}

bool LoadedSnapshot::ReadPathRange(std::string_view path, PathLocation& location,
                                   std::string& bytes) const {
  location = PathLocation{};
  bytes.clear();
  readFailed_ = false;
  const std::string key = PathKey(path);
  const std::size_t rootEnd = key.find(kPathSeparator) + 1;
  const auto depth = std::count(key.begin(), key.end(), kPathSeparator);
  // The share the location lies in is the longest share name the key begins with: a share
  // whose name holds a backslash may stand for a deeper location than its first component.
  const ShareRange* base = FindLongestShare(key);
  if (base == nullptr) return false;
  const int nameOffset = static_cast<int>(key.size() - rootEnd);
  PathLocation found{nameOffset, base->begin, base->end};
  if (depth == 1) {
    found = {0, base->begin, base->rootEnd};
  } else if (!EqualsIgnoreCase(base->key, key)) {
    // Blocks are looked for from the base's first line and never past the end of the share
    // named by the key's first component, so two shares that hold a directory of the same
    // name stay apart.
    const ShareRange* share = FindShare(std::string_view(key).substr(0, rootEnd));
    if (share == nullptr) return false;
    const std::string_view rel = std::string_view(key).substr(rootEnd);
    DirectoryBlock block;
    if (share == base) {
      // The usual case: the index of the share's section knows where the block lies.
      if (!blocks_.Find(share->section, rel, block)) return false;
      found.begin = static_cast<std::int64_t>(block.offset);
      found.end = found.begin + static_cast<std::int64_t>(block.length);
      if (!ReadBytes(found.begin, found.end, bytes)) return false;
      if (StartsWithIgnoreCase(std::string_view(bytes).substr(0, bytes.find_first_of("\r\n")),
                               rel)) {
        location = found;
        return true;
      }
    }
    // Two prefixes of one hash, or a share whose name holds a backslash: a plain scan.
    if (!ScanForBlock(rel, base->begin, share->end - 1, found)) return false;
  }
  if (!ReadBytes(found.begin, found.end, bytes)) return false;
  location = found;
  return true;
}

bool LoadedSnapshot::FolderTotalOf(std::string_view path, FolderTotal& total) const {
  total = FolderTotal{};
  const std::string key = PathKey(path);
  const std::size_t rootEnd = key.find(kPathSeparator) + 1;
  const ShareRange* share = FindShare(std::string_view(key).substr(0, rootEnd));
  if (share == nullptr) return false;
  return blocks_.Total(share->section, std::string_view(key).substr(rootEnd), total);
}

}  // namespace mv
