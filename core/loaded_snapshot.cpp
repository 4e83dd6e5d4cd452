// Reading a snapshot file into memory: the file viewed whole and cut into lines in one pass
// that also finds the share sections, counts the entries and learns where each directory's
// entry block starts; the header checked; locations found through what that pass learnt.
#include "core/loaded_snapshot.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/byte_words.h"
#include "core/encoding_line.h"
#include "core/parsed_entry.h"
#include "core/text.h"
#include "platform/memory_advice.h"

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

// Text is cut into lines 64 bytes at a time: one bit per byte says whether it is CR or LF,
// and one flag whether the block holds a NUL anywhere.
constexpr std::size_t kBlockBytes = 64;
constexpr std::size_t kPrefetchDistance = 4096;

struct BlockBits {
  std::uint64_t breaks = 0;
  bool hasNul = false;
};

#if defined(__SSE2__)
BlockBits SortBlock(const char* block) {
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  BlockBits bits;
  __m128i least = _mm_set1_epi8(-1);
  for (std::size_t k = 0; k < kBlockBytes / 16; ++k) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * k));
    const auto isBreak = static_cast<std::uint32_t>(
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf))));
    bits.breaks |= std::uint64_t{isBreak} << (16 * k);
    least = _mm_min_epu8(least, bytes);
  }
  bits.hasNul = _mm_movemask_epi8(_mm_cmpeq_epi8(least, _mm_setzero_si128())) != 0;
  return bits;
}
#else
BlockBits SortBlock(const char* block) {
  static_assert(words::kUsable, "bytes are gathered first lowest");
  BlockBits bits;
  std::uint64_t nuls = 0;
  for (std::size_t k = 0; k < kBlockBytes / 8; ++k) {
    const std::uint64_t word = words::Load(block + 8 * k);
    const std::uint64_t breaks = words::BytesEqual(word, '\r') | words::BytesEqual(word, '\n');
    // The top bits of the eight bytes gathered into eight bits, first byte lowest.
    bits.breaks |= (((breaks >> 7) * 0x0102040810204080u) >> 56) << (8 * k);
    nuls |= words::ZeroBytes(word);
  }
  bits.hasNul = nuls != 0;
  return bits;
}
#endif

// The lines a text probably holds, from the length of the lines in its first bytes, with a
// little to spare: the line table is taken once at about its final size instead of growing
// through copies (a table for a line every two bytes would be four times the text).
std::size_t ExpectedLines(std::string_view text) {
  constexpr std::size_t kSample = 64 * 1024;
  const std::string_view sample = text.substr(0, kSample);
  const auto breaks = static_cast<std::size_t>(std::count(sample.begin(), sample.end(), '\n'));
  if (sample.size() < kSample || breaks == 0) return breaks + 16;
  return text.size() / (sample.size() / breaks) / 8 * 9 + 16;
}

// Cuts text into its non-empty lines at CR and LF and calls visit(index, line) for each as
// soon as its end is found, while its bytes are still at hand. A NUL inside a line ends its text;
// the rest up to the line end is not read. Returns the line count.
template <typename Visit>
int CutLines(std::string_view text, std::vector<LineRef>& lines, Visit visit) {
  lines.clear();
  const std::size_t end = text.size();
  const std::size_t expected = ExpectedLines(text);
  if (lines.capacity() < expected) {
    // A table of millions of lines is filled in one pass, page after page.
    lines.reserve(expected);
    AdviseHugePages(lines.data(), lines.capacity() * sizeof(LineRef));
  }
  constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::size_t lineStart = kNone;  // where the open line began; none after a line end
  std::size_t textEnd = kNone;    // where the open line's first NUL stands
  std::size_t block = 0;
  // Ends the open line at position at of the current block.
  auto endLine = [&](std::size_t at) {
    const std::size_t lineEnd = block + at;
    const LineRef line{static_cast<std::uint32_t>(lineStart),
                       static_cast<std::uint32_t>(std::min(lineEnd, textEnd) - lineStart)};
    lines.push_back(line);
    visit(static_cast<int>(lines.size() - 1),
          std::string_view(text.data() + line.offset, line.length));
    lineStart = textEnd = kNone;
  };
  char last[kBlockBytes];
  for (; block < end; block += kBlockBytes) {
    const char* bytes = text.data() + block;
    // The text comes from memory page by page, and a page is not fetched ahead of its first
    // read: asking for what lies a page on hides most of that wait.
    if (end - block > kPrefetchDistance) __builtin_prefetch(bytes + kPrefetchDistance);
    if (end - block < kBlockBytes) {
      // The last block, padded with line ends: nothing is read past the text.
      std::memset(last, '\n', sizeof last);
      std::memcpy(last, bytes, end - block);
      bytes = last;
    }
    const BlockBits sorted = SortBlock(bytes);
    const std::uint64_t breaks = sorted.breaks;
    if (sorted.hasNul) {
      // Rare: byte by byte, noting where a line's text stops.
      for (std::size_t at = 0; at < kBlockBytes; ++at) {
        const bool isBreak = ((breaks >> at) & 1) != 0;
        if (lineStart == kNone && !isBreak) {
          lineStart = block + at;
        } else if (lineStart != kNone && isBreak) {
          endLine(at);
        }
        if (lineStart != kNone && bytes[at] == '\0' && textEnd == kNone) textEnd = block + at;
      }
      continue;
    }
    // A line starts at a byte that is no break after one that is, and ends at a break after
    // one that is not; the byte before the block counts as a break when no line is open.
    const std::uint64_t before = (breaks << 1) | (lineStart == kNone ? 1 : 0);
    std::uint64_t starts = ~breaks & before;
    for (std::uint64_t ends = breaks & ~before; ends != 0; ends &= ends - 1) {
      const int at = std::countr_zero(ends);
      const std::uint64_t startsBefore = starts & ((std::uint64_t{1} << at) - 1);
      if (startsBefore != 0) {
        lineStart = block + 63 - static_cast<std::size_t>(std::countl_zero(startsBefore));
      }
      starts &= ~startsBefore;
      endLine(static_cast<std::size_t>(at));
    }
    if (starts != 0) lineStart = block + 63 - static_cast<std::size_t>(std::countl_zero(starts));
  }
  if (lineStart != kNone) {
    // The text ends in the last block read, without a line end.
    block -= kBlockBytes;
    endLine(end - block);
  }
  return static_cast<int>(lines.size());
}

// Reads the file; outOfMemory tells when no room could be had for it.
IoError ViewFile(FileSystem& fs, const std::string& path, std::unique_ptr<MappedFile>& contents,
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
      return "the file is larger than this program can open";
    case LoadResult::kNotASnapshot:
      return "the file has no complete snapshot header";
    case LoadResult::kNoShares:
      return "the file holds no share";
  }
  return "the file was refused";
}

int SplitLines(std::string_view text, std::vector<LineRef>& lines) {
  return CutLines(text, lines, [](int, std::string_view) {});
}

LoadResult LoadedSnapshot::Load(FileSystem& fs, const std::string& path) {
  std::unique_ptr<MappedFile> contents;
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
  // One pass over the text: the lines, the share header and end lines, the counts of the
  // entry lines after the first share header line, and the directory blocks of each section.
  int firstShareLine = -1;
  int sections = 0;
  bool inSection = false;
  bool encodingRead = false;
  std::vector<int> keyLines;
  std::int32_t files = 0;
  std::int32_t directories = 0;
  try {
    CutLines(text_, lines_, [&](int index, std::string_view line) {
      if (firstShareLine >= 0) {
        // The kind as the listing reads it, counted only in the lower case a writer writes.
        const std::string_view kind = EntryKind(line);
        files += kind == kTypeFile ? 1 : 0;
        directories += kind == kTypeDirectory ? 1 : 0;
      } else if (index > 0 && !encodingRead) {
        encodingRead = ReadEncodingLine(line, info_.encoding);
      }
      // Nearly every line is an entry line: its first letter rules both keys out.
      const bool shareHeader =
          !line.empty() && MayStartKey(line.front()) && StartsWithIgnoreCase(line, kShareNameKey);
      if (!shareHeader &&
          !(!line.empty() && MayStartKey(line.front()) && EqualsIgnoreCase(line, kEndLine))) {
        if (inSection) blocks_.AddLine(line, index);
        return;
      }
      if (shareHeader && firstShareLine < 0) firstShareLine = index;
      keyLines.push_back(index);
      inSection = shareHeader;
      if (shareHeader) blocks_.BeginSection(sections++);
    });
  } catch (const std::bad_alloc&) {
    ReleaseText();
    info_ = SnapshotInfo{};
    return LoadResult::kCannotOpen;  // no room for the line table
  }
  info_.fileCount = files;
  info_.directoryCount = directories;
  ReadHeader();
  if (lines_.empty() || !EqualsIgnoreCase(Line(0), kMagicLine) || info_.version.empty() ||
      info_.computer.empty() || info_.group.empty() || info_.created.empty()) {
    return Refuse(LoadResult::kNotASnapshot);
  }
  info_.path = path;
  ReadShareSections(keyLines);
  if (shareNames_.empty()) return Refuse(LoadResult::kNoShares);
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
  shareRanges_.clear();
  blocks_.Clear();
}

LoadResult LoadedSnapshot::Refuse(LoadResult result) {
  ReleaseText();
  shareNames_.clear();
  shareRanges_.clear();
  blocks_.Clear();
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

void LoadedSnapshot::ReadShareSections(const std::vector<int>& keyLines) {
  // start is 0 while no section is open: a section never begins at the magic line.
  int start = 0;
  int section = -1;
  std::string_view current;
  for (const int i : keyLines) {
    const std::string_view line = Line(i);
    const bool shareHeader = StartsWithIgnoreCase(line, kShareNameKey);
    if (start != 0) {
      // A section is found under its name only when it is closed, and only the first of
      // those that carry one name (ignoring case).
      const std::string key = PathKey(current);
      if (FindShare(key) == nullptr) shareRanges_.push_back({key, start, i - 1, section});
    }
    if (shareHeader) {
      current = line.substr(kShareNameKey.size());
      shareNames_.emplace_back(current);
      ++section;
    }
    start = i + 1;
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

int LoadedSnapshot::ScanForPrefix(std::string_view prefix, int first, int last) const {
  for (int i = std::max(first, 0); i <= last; ++i) {
    if (StartsWithIgnoreCase(Line(i), prefix)) return i;
  }
  return -1;
}

bool LoadedSnapshot::FindPathRange(std::string_view path, PathLocation& location) const {
  location = PathLocation{};
  const std::string key = PathKey(path);
  const std::size_t rootEnd = key.find(kPathSeparator) + 1;
  const auto depth = std::count(key.begin(), key.end(), kPathSeparator);
  // The share the location lies in is the longest share name the key begins with: a share
  // whose name holds a backslash may stand for a deeper location than its first component.
  const ShareRange* base = FindLongestShare(key);
  if (base == nullptr) return false;
  const int nameOffset = static_cast<int>(key.size() - rootEnd);
  if (depth != 1 && EqualsIgnoreCase(base->key, key)) {
    location = {nameOffset, base->firstLine, base->lastLine};
    return true;
  }
  // Blocks are looked for from the base's first line and never past the end of the share
  // named by the key's first component, so two shares that hold a directory of the same name
  // stay apart.
  const ShareRange* share = FindShare(std::string_view(key).substr(0, rootEnd));
  const int shareLast = std::min(share == nullptr ? -1 : share->lastLine, lineCount() - 1);
  const int first = base->firstLine;

  if (rootEnd == key.size()) {
    int last = first - 1;
    while (last + 1 <= shareLast && Line(last + 1).find(kPathSeparator) == std::string_view::npos)
      ++last;
    location = {0, first, last};
    return true;
  }

  const std::string_view rel = std::string_view(key).substr(rootEnd);
  int blockFirst = -1;
  if (share == base) {
    // The usual case: the index of the share's section knows where the block starts.
    blockFirst = blocks_.FirstLineOf(share->section, rel);
    if (blockFirst < 0) return false;
    if (!StartsWithIgnoreCase(Line(blockFirst), rel)) {
      blockFirst = ScanForPrefix(rel, first, shareLast);  // two prefixes of one hash
    }
  } else {
    blockFirst = ScanForPrefix(rel, first, shareLast);
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
  location = {nameOffset, blockFirst, blockLast};
  return true;
}

}  // namespace mv
