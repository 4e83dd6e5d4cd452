// The capture index: the model that updates change, its file form, and the checked view that
// find searches in pages. See capture_index.h for the layout.
#include "query/capture_index.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <set>
#include <thread>
#include <utility>

#include "core/line_cutter.h"
#include "core/snapshot_name.h"
#include "core/text.h"
#include "query/folded_search.h"

namespace mv {
namespace {

constexpr std::string_view kMagic = "MVINDEX2";
constexpr std::size_t kHashAt = 8;
constexpr std::size_t kCountsAt = 16;
constexpr std::size_t kCountFields = 10;
constexpr std::size_t kPageHashesAt = kCountsAt + 4 * kCountFields;
constexpr std::uint32_t kShareRoot = 0xFFFFFFFFu;  // a folder without parent: a share
constexpr std::uint32_t kTextFlag = 0x80000000u;   // size or date kept as a text
constexpr std::uint32_t kDirectoryFlag = 1u << 30;
constexpr std::uint32_t kUtf8Flag = 1u << 31;
constexpr std::uint32_t kFolderMask = kDirectoryFlag - 1;
constexpr std::uint32_t kAbsent = NumberSlots::kAbsent;
constexpr std::size_t kEntryBytes = 16;
constexpr std::size_t kStampBytes = 32;
// The marks of an entry's inline range: no capture holds it, or its ranges are a list.
constexpr std::uint32_t kNoRange = 0xFFFFFFFFu;
constexpr std::uint32_t kManyRanges = 0xFFFFFFFEu;

void Put32(std::string& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xFF);
}
void Put64(std::string& out, std::uint64_t value) {
  Put32(out, static_cast<std::uint32_t>(value));
  Put32(out, static_cast<std::uint32_t>(value >> 32));
}
void PutVarint(std::string& out, std::uint32_t value) {
  while (value >= 0x80) {
    out += static_cast<char>((value & 0x7F) | 0x80);
    value >>= 7;
  }
  out += static_cast<char>(value);
}
void Set64(std::string& out, std::size_t at, std::uint64_t value) {
  for (std::size_t i = 0; i < 8; ++i) out[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::uint32_t Get32(const char* bytes) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[i]);
  return value;
}
std::uint64_t Get64(const char* bytes) {
  return Get32(bytes) | (std::uint64_t{Get32(bytes + 4)} << 32);
}

// Reads a varint at at, moving at past it; false when it runs past the end or past 32 bits.
bool GetVarint(std::string_view bytes, std::size_t& at, std::uint32_t& value) {
  std::uint64_t result = 0;
  for (int shift = 0; shift < 35; shift += 7) {
    if (at >= bytes.size()) return false;
    const auto byte = static_cast<unsigned char>(bytes[at++]);
    result |= std::uint64_t{byte & 0x7Fu} << shift;
    if ((byte & 0x80) == 0) {
      if (result > std::numeric_limits<std::uint32_t>::max()) return false;
      value = static_cast<std::uint32_t>(result);
      return true;
    }
  }
  return false;
}

// A 64-bit hash of bytes, a word at a time: damage shows, at memory speed.
std::uint64_t HashOfBytes(std::string_view bytes, std::uint64_t seed) {
  std::uint64_t hash = 0x6D76696E64657832ull ^ seed ^ (bytes.size() * 0xFF51AFD7ED558CCDull);
  std::size_t at = 0;
  const auto mix = [&](std::uint64_t word) {
    hash = (hash ^ word) * 0x9E3779B97F4A7C15ull;
    hash ^= hash >> 29;
  };
  for (; at + 8 <= bytes.size(); at += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes.data() + at, 8);
    mix(word);
  }
  std::uint64_t tail = 0;
  for (std::size_t i = 0; at + i < bytes.size(); ++i) {
    tail |= std::uint64_t{static_cast<unsigned char>(bytes[at + i])} << (8 * i);
  }
  mix(tail);
  return hash;
}
// A page's hash names its place, so that pages moved about do not pass.
std::uint64_t HashOfPage(std::string_view bytes, std::uint64_t page) {
  return HashOfBytes(bytes, (page + 1) * 0xC4CEB9FE1A85EC53ull);
}

std::uint64_t Mixed(std::uint64_t a, std::uint64_t b) {
  std::uint64_t h = a * 0x9E3779B97F4A7C15ull ^ (b + 0x632BE59BD9B4E019ull) * 0xC2B2AE3D27D4EB4Full;
  h ^= h >> 31;
  h *= 0xBF58476D1CE4E5B9ull;
  return h ^ (h >> 29);
}

std::uint64_t HashOfRow(const CaptureIndex::Row& row) {
  return Mixed((std::uint64_t{row.name} << 32) | row.folder,
               (std::uint64_t{row.size} << 32) | row.created);
}
// "0" or digits without a leading zero, at most max: such a text is kept as its value.
bool PlainNumber(std::string_view text, std::uint32_t max, std::uint32_t& value) {
  if (text.empty() || text.size() > 10 || (text.size() > 1 && text[0] == '0')) return false;
  std::uint64_t result = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    result = result * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (result > max) return false;
  value = static_cast<std::uint32_t>(result);
  return true;
}

// month.day.year of plain numbers, packed into 25 bits.
bool PackedDate(std::string_view text, std::uint32_t& packed) {
  const std::size_t first = text.find('.');
  const std::size_t second = first == std::string_view::npos ? first : text.find('.', first + 1);
  if (second == std::string_view::npos) return false;
  std::uint32_t month = 0, day = 0, year = 0;
  if (!PlainNumber(text.substr(0, first), 15, month) ||
      !PlainNumber(text.substr(first + 1, second - first - 1), 31, day) ||
      !PlainNumber(text.substr(second + 1), 0xFFFF, year)) {
    return false;
  }
  packed = (month << 21) | (day << 16) | year;
  return true;
}

std::string UnpackedDate(std::uint32_t packed) {
  return std::to_string((packed >> 21) & 0xF) + "." + std::to_string((packed >> 16) & 0x1F) + "." +
         std::to_string(packed & 0xFFFF);
}

std::uint32_t GramAt(std::string_view text, std::size_t at) {
  return (std::uint32_t{static_cast<unsigned char>(AsciiLower(text[at]))} << 16) |
         (std::uint32_t{static_cast<unsigned char>(AsciiLower(text[at + 1]))} << 8) |
         std::uint32_t{static_cast<unsigned char>(AsciiLower(text[at + 2]))};
}

// Calls visit with each component of a folder path cut at every backslash.
template <typename Visit>
void ForEachComponent(std::string_view folder, Visit&& visit) {
  std::size_t from = 0;
  while (true) {
    const std::size_t cut = folder.find(kPathSeparator, from);
    visit(folder.substr(from, cut == std::string_view::npos ? std::string_view::npos : cut - from));
    if (cut == std::string_view::npos) return;
    from = cut + 1;
  }
}

// The grams of the strings of blocks [from, to) (a block being kNamesPerBlock strings of
// texts), each block's once, as gram << 32 | block in block order.
void GramsOfBlocks(const std::vector<std::string_view>& texts, std::size_t from, std::size_t to,
                   std::vector<std::uint64_t>& pairs) {
  std::vector<std::uint64_t> seen((std::size_t{1} << 24) / 64, 0);
  std::vector<std::uint32_t> grams;
  for (std::size_t block = from; block < to; ++block) {
    grams.clear();
    const std::size_t end = std::min(texts.size(), (block + 1) * kNamesPerBlock);
    for (std::size_t i = block * kNamesPerBlock; i < end; ++i) {
      const std::string_view text = texts[i];
      for (std::size_t at = 0; at + 3 <= text.size(); ++at) {
        const std::uint32_t gram = GramAt(text, at);
        std::uint64_t& word = seen[gram >> 6];
        const std::uint64_t bit = std::uint64_t{1} << (gram & 63);
        if ((word & bit) != 0) continue;
        word |= bit;
        grams.push_back(gram);
      }
    }
    for (const std::uint32_t gram : grams) {
      pairs.push_back((std::uint64_t{gram} << 32) | block);
      seen[gram >> 6] = 0;
    }
  }
}

}  // namespace

std::string IndexFileName(std::string_view group, std::string_view computer) {
  const auto lowered = [](std::string_view text) {
    std::string out(text);
    for (char& c : out) c = AsciiLower(c);
    return out;
  };
  return FileNamePiece(lowered(group)) + kNamePieceSeparator + FileNamePiece(lowered(computer)) +
         std::string(kIndexExtension);
}

std::string EntryKey(NameEncoding encoding, bool isDirectory, std::string_view share,
                     std::string_view path, std::string_view size, std::string_view created) {
  std::string key;
  key.reserve(6 + share.size() + path.size() + size.size() + created.size());
  key += encoding == NameEncoding::kUtf8 ? 'u' : 'a';
  key += isDirectory ? 'd' : 'f';
  key.append(share);
  key += '\0';
  key.append(path);
  key += '\0';
  key.append(size);
  key += '\0';
  key.append(created);
  return key;
}

// --- The model ---------------------------------------------------------------------------

std::uint64_t HashOfText(std::string_view text) {
  std::uint64_t hash = 0x9E3779B97F4A7C15ull ^ text.size();
  std::size_t at = 0;
  for (; at + 8 <= text.size(); at += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + at, 8);
    hash = (hash ^ word) * 0xFF51AFD7ED558CCDull;
    hash ^= hash >> 32;
  }
  std::uint64_t tail = 0;
  for (std::size_t i = 0; at + i < text.size(); ++i) {
    tail |= std::uint64_t{static_cast<unsigned char>(text[at + i])} << (8 * i);
  }
  hash = (hash ^ tail) * 0xC4CEB9FE1A85EC53ull;
  return hash ^ (hash >> 29);
}

void NumberSlots::Reserve(std::size_t count) {
  if (2 * count <= slots_.size()) return;
  std::size_t size = slots_.empty() ? 1024 : slots_.size();
  while (size < 2 * count) size *= 2;
  std::vector<std::uint64_t> grown(size, 0);
  const std::size_t mask = size - 1;
  for (const std::uint64_t slot : slots_) {
    if (slot == 0) continue;
    std::size_t at = static_cast<std::size_t>(slot >> 32) & mask;
    while (grown[at] != 0) at = (at + 1) & mask;
    grown[at] = slot;
  }
  slots_.swap(grown);
}

void TextSet::Reserve(std::size_t count) {
  starts_.reserve(count + 1);
  slots_.Reserve(count);
}

std::uint32_t TextSet::Find(std::string_view text) const {
  if (size() == 0) return kAbsent;
  std::size_t where = 0;
  return slots_.Find(
      HashOfText(text), [&](std::uint32_t n) { return (*this)[n] == text; }, where);
}

std::uint32_t TextSet::Add(std::string_view text, bool* added) {
  slots_.Reserve(std::size_t{size()} + 1);
  const std::uint64_t hash = HashOfText(text);
  std::size_t where = 0;
  const std::uint32_t held = slots_.Find(
      hash, [&](std::uint32_t n) { return (*this)[n] == text; }, where);
  if (added != nullptr) *added = held == kAbsent;
  if (held != kAbsent) return held;
  const std::uint32_t number = size();
  bytes_.append(text);
  starts_.push_back(bytes_.size());
  slots_.Put(where, hash, number);
  return number;
}

std::uint32_t CaptureIndex::FolderOf(std::uint32_t parent, std::uint32_t name) {
  const std::pair<std::uint32_t, std::uint32_t> folder{parent, name};
  folderSlots_.Reserve(folders_.size() + 1);
  const std::uint64_t hash = Mixed(parent, name);
  std::size_t where = 0;
  const std::uint32_t held = folderSlots_.Find(
      hash, [&](std::uint32_t n) { return folders_[n] == folder; }, where);
  if (held != kAbsent) return held;
  folders_.push_back(folder);
  folderSlots_.Put(where, hash, static_cast<std::uint32_t>(folders_.size() - 1));
  return static_cast<std::uint32_t>(folders_.size() - 1);
}

std::uint32_t CaptureIndex::EntryOf(const Row& row) {
  rowSlots_.Reserve(rows_.size() + 1);
  const std::uint64_t hash = HashOfRow(row);
  std::size_t where = 0;
  const std::uint32_t held = rowSlots_.Find(
      hash, [&](std::uint32_t n) { return rows_[n] == row; }, where);
  if (held != kAbsent) return held;
  rows_.push_back(row);
  ranges_.push_back({kNoRange, 0});
  seenIn_.push_back(0);
  rowSlots_.Put(where, hash, static_cast<std::uint32_t>(rows_.size() - 1));
  return static_cast<std::uint32_t>(rows_.size() - 1);
}

bool CaptureIndex::Live(std::uint32_t id) const {
  return ranges_[id].first != kNoRange;
}

void CaptureIndex::RangesOf(std::uint32_t id, std::vector<CaptureRange>& out) const {
  const CaptureRange& one = ranges_[id];
  if (one.first == kManyRanges) {
    out = many_[one.last];
  } else {
    out.clear();
    if (one.first != kNoRange) out.push_back(one);
  }
}

void CaptureIndex::SetRanges(std::uint32_t id, const std::vector<CaptureRange>& ranges) {
  CaptureRange& one = ranges_[id];
  if (one.first == kManyRanges) {
    if (ranges.size() > 1) {
      many_[one.last] = ranges;
      return;
    }
    many_[one.last] = {};
    freeMany_.push_back(one.last);
  }
  if (ranges.size() <= 1) {
    one = ranges.empty() ? CaptureRange{kNoRange, 0} : ranges.front();
    return;
  }
  std::uint32_t list = 0;
  if (freeMany_.empty()) {
    list = static_cast<std::uint32_t>(many_.size());
    many_.emplace_back();
  } else {
    list = freeMany_.back();
    freeMany_.pop_back();
  }
  many_[list] = ranges;
  one = {kManyRanges, list};
}

void CaptureIndex::AddToEntry(std::uint32_t id, std::uint32_t position) {
  CaptureRange& one = ranges_[id];
  if (one.first == kNoRange) {
    one = {position, position};
    return;
  }
  if (one.first != kManyRanges) {  // the usual case: one run of captures, met at its end
    if (one.first <= position && position <= one.last) return;
    if (one.last + 1 == position) {
      one.last = position;
      return;
    }
    if (position + 1 == one.first) {
      one.first = position;
      return;
    }
  }
  std::vector<CaptureRange> ranges;
  RangesOf(id, ranges);
  std::size_t at = ranges.size();
  while (at > 0 && ranges[at - 1].first > position) --at;
  if (at > 0 && ranges[at - 1].last >= position) return;
  const bool joinsBefore = at > 0 && ranges[at - 1].last + 1 == position;
  const bool joinsAfter = at < ranges.size() && ranges[at].first == position + 1;
  if (joinsBefore && joinsAfter) {
    ranges[at - 1].last = ranges[at].last;
    ranges.erase(ranges.begin() + static_cast<std::ptrdiff_t>(at));
  } else if (joinsBefore) {
    ranges[at - 1].last = position;
  } else if (joinsAfter) {
    ranges[at].first = position;
  } else {
    ranges.insert(ranges.begin() + static_cast<std::ptrdiff_t>(at), {position, position});
  }
  SetRanges(id, ranges);
}

bool CaptureIndex::InsertCapture(std::size_t position, IndexedCapture capture,
                                 const SnapshotLayout& layout) {
  if (position > captures_.size() || captures_.size() >= kMaxIndexCaptures) return false;
  for (const ShareSection& share : layout.shares) {
    if (share.name.find('\0') != std::string::npos) return false;
  }
  if (++inserts_ == 0) {  // the marks wrapped: none of them stands for this insert
    std::fill(seenIn_.begin(), seenIn_.end(), 0);
    inserts_ = 1;
  }
  const std::uint32_t encoding = layout.encoding == NameEncoding::kUtf8 ? kUtf8Flag : 0;
  const auto lines = static_cast<std::size_t>(std::min<std::uint64_t>(layout.lineCount, 1u << 26));
  std::vector<std::uint32_t> ids;
  ids.reserve(lines);
  if (rows_.empty()) {  // the first capture: room for its entries at once, not grown as they come
    rowSlots_.Reserve(lines);
    rows_.reserve(lines);
    ranges_.reserve(lines);
    seenIn_.reserve(lines);
    texts_.Reserve(lines);
  }
  bool refused = false;
  const bool atEnd = position == captures_.size();
  const std::vector<std::uint32_t> none;
  const std::vector<std::uint32_t>& expected = atEnd && newestOrderKnown_ ? newestOrder_ : none;
  std::size_t next = 0;
  // Whether a row's size or date field holds text, as the row would keep it.
  const auto HoldsField = [&](std::uint32_t field, std::string_view text, bool date) {
    if ((field & kTextFlag) != 0) return texts_[field & ~kTextFlag] == text;
    std::uint32_t value = 0;
    return (date ? PackedDate(text, value) : PlainNumber(text, kTextFlag - 1, value)) &&
           value == field;
  };
  const ShareSection* lastShare = nullptr;
  std::string lastFolderText;
  std::uint32_t lastFolder = 0;
  // Lines come a folder at a time: its share and path components are looked up once.
  const bool read = ForEachEntry(layout, [&](const ShareSection& share, const SnapshotEntry& e) {
    if (refused) return;
    const std::size_t cut = e.path.rfind(kPathSeparator);
    const std::string_view folderText =
        cut == std::string_view::npos ? std::string_view() : e.path.substr(0, cut + 1);
    if (&share != lastShare || folderText != lastFolderText) {
      std::uint32_t folder = FolderOf(kShareRoot, texts_.Add(share.name));
      if (cut != std::string_view::npos) {
        ForEachComponent(e.path.substr(0, cut),
                         [&](std::string_view c) { folder = FolderOf(folder, texts_.Add(c)); });
      }
      lastShare = &share;
      lastFolderText.assign(folderText);
      lastFolder = folder;
    }
    if (folders_.size() > kMaxIndexFolders || texts_.size() >= kTextFlag) {
      refused = true;
      return;
    }
    const std::string_view name = cut == std::string_view::npos ? e.path : e.path.substr(cut + 1);
    const std::uint32_t folder = lastFolder | (e.isDirectory ? kDirectoryFlag : 0) | encoding;
    std::uint32_t id = kAbsent;
    // The entry expected here, or one of the two after it (entries gone since).
    for (std::size_t look = next; look < std::min(next + 3, expected.size()); ++look) {
      const Row& row = rows_[expected[look]];
      if (row.folder == folder && texts_[row.name] == name && HoldsField(row.size, e.size, false) &&
          HoldsField(row.created, e.created, true)) {
        id = expected[look];
        next = look + 1;
        break;
      }
    }
    if (id == kAbsent) {
      Row row;
      row.name = texts_.Add(name);
      row.folder = folder;
      if (!PlainNumber(e.size, kTextFlag - 1, row.size)) row.size = kTextFlag | texts_.Add(e.size);
      if (!PackedDate(e.created, row.created)) row.created = kTextFlag | texts_.Add(e.created);
      id = EntryOf(row);
    }
    if (seenIn_[id] == inserts_) {  // one entry listed twice
      refused = true;
      return;
    }
    seenIn_[id] = inserts_;
    ids.push_back(id);
  });
  if (!read || refused) return false;
  const auto at = static_cast<std::uint32_t>(position);
  if (position < captures_.size()) {  // later captures move up one
    std::vector<CaptureRange> ranges, moved;
    for (std::uint32_t id = 0; id < rows_.size(); ++id) {
      if (!Live(id)) continue;
      RangesOf(id, ranges);
      moved.clear();
      for (const CaptureRange& r : ranges) {
        if (r.first >= at) {
          moved.push_back({r.first + 1, r.last + 1});
        } else if (r.last >= at) {
          moved.push_back({r.first, at - 1});
          moved.push_back({at + 1, r.last + 1});
        } else {
          moved.push_back(r);
        }
      }
      SetRanges(id, moved);
    }
  }
  captures_.insert(captures_.begin() + static_cast<std::ptrdiff_t>(position), std::move(capture));
  for (const std::uint32_t id : ids) AddToEntry(id, at);
  if (atEnd) {  // an older capture put in its place leaves the newest as it was
    newestOrder_ = std::move(ids);
    newestOrderKnown_ = true;
  }
  return true;
}

void CaptureIndex::RemoveCapture(std::size_t position) {
  if (position >= captures_.size()) return;
  if (position + 1 == captures_.size()) newestOrderKnown_ = false;
  const auto at = static_cast<std::uint32_t>(position);
  std::vector<CaptureRange> ranges, kept;
  for (std::uint32_t id = 0; id < rows_.size(); ++id) {
    CaptureRange& one = ranges_[id];
    if (one.first == kNoRange) continue;
    if (one.first != kManyRanges) {
      if (one.first > at) {
        --one.first;
        --one.last;
      } else if (one.last >= at) {
        if (one.first == one.last) {
          one = {kNoRange, 0};
        } else {
          --one.last;
        }
      }
      continue;
    }
    RangesOf(id, ranges);
    kept.clear();
    for (CaptureRange r : ranges) {
      if (r.first > at) {
        --r.first;
        --r.last;
      } else if (r.last >= at) {
        if (r.first == r.last) continue;
        --r.last;
      }
      if (!kept.empty() && kept.back().last + 1 == r.first) {
        kept.back().last = r.last;
      } else {
        kept.push_back(r);
      }
    }
    SetRanges(id, kept);
  }
  captures_.erase(captures_.begin() + static_cast<std::ptrdiff_t>(position));
}

std::size_t CaptureIndex::entryCount() const {
  std::size_t count = 0;
  for (std::uint32_t id = 0; id < rows_.size(); ++id) count += Live(id) ? 1 : 0;
  return count;
}

std::string CaptureIndex::Encode(std::string& reason) const {
  // What the live entries use: their texts, their folders and those folders' parents.
  const std::uint32_t textCount = texts_.size();
  std::vector<std::uint32_t> rankOf(textCount, kAbsent);  // a used text's place in the file
  std::vector<std::uint32_t> folderNumber(folders_.size(), kAbsent);
  std::vector<char> usedText(textCount, 0), usedFolder(folders_.size(), 0);
  std::size_t liveCount = 0;
  for (std::uint32_t id = 0; id < rows_.size(); ++id) {
    if (!Live(id)) continue;
    ++liveCount;
    const Row& row = rows_[id];
    usedText[row.name] = 1;
    if ((row.size & kTextFlag) != 0) usedText[row.size & ~kTextFlag] = 1;
    if ((row.created & kTextFlag) != 0) usedText[row.created & ~kTextFlag] = 1;
    for (std::uint32_t f = row.folder & kFolderMask; f != kShareRoot && usedFolder[f] == 0;
         f = folders_[f].first) {
      usedFolder[f] = 1;
      usedText[folders_[f].second] = 1;
    }
  }
  // Texts keep the order they were first met in (a folder's names together), each once.
  std::vector<std::string_view> ranked;
  std::vector<std::uint32_t> offsetOf(textCount, 0);
  std::vector<std::uint32_t> blockStarts;
  std::uint64_t stringBytes = 0;
  for (std::uint32_t t = 0; t < textCount; ++t) {
    if (usedText[t] == 0) continue;
    if (ranked.size() % kNamesPerBlock == 0) {
      blockStarts.push_back(
          static_cast<std::uint32_t>(std::min(stringBytes, kMaxIndexStringBytes)));
    }
    rankOf[t] = static_cast<std::uint32_t>(ranked.size());
    offsetOf[t] = static_cast<std::uint32_t>(std::min(stringBytes, kMaxIndexStringBytes));
    ranked.push_back(texts_[t]);
    stringBytes += ranked.back().size() + 1;
  }
  if (stringBytes > kMaxIndexStringBytes) {
    reason = "its texts pass " + std::to_string(kMaxIndexStringBytes) + " bytes";
    return {};
  }
  std::uint32_t folderCount = 0;
  for (std::size_t f = 0; f < folders_.size(); ++f) {
    if (usedFolder[f] != 0) folderNumber[f] = folderCount++;
  }
  if (folderCount > kMaxIndexFolders) {
    reason = "it has more than " + std::to_string(kMaxIndexFolders) + " folders";
    return {};
  }
  // An entry as the file holds it.
  const auto fileRow = [&](std::uint32_t id) {
    const Row& row = rows_[id];
    const auto textField = [&](std::uint32_t field) {
      return (field & kTextFlag) != 0 ? kTextFlag | offsetOf[field & ~kTextFlag] : field;
    };
    return std::array<std::uint32_t, 4>{
        offsetOf[row.name], folderNumber[row.folder & kFolderMask] | (row.folder & ~kFolderMask),
        textField(row.size), textField(row.created)};
  };
  // Entries in the order of their names' strings (counted into place), those of one name in
  // the order of the rest of the row.
  std::vector<std::uint32_t> startOfRank(ranked.size() + 1, 0);
  for (std::uint32_t id = 0; id < rows_.size(); ++id) {
    if (Live(id)) ++startOfRank[rankOf[rows_[id].name] + 1];
  }
  for (std::size_t r = 1; r < startOfRank.size(); ++r) startOfRank[r] += startOfRank[r - 1];
  std::vector<std::uint32_t> order(liveCount);
  {
    std::vector<std::uint32_t> next(startOfRank.begin(), startOfRank.end() - 1);
    for (std::uint32_t id = 0; id < rows_.size(); ++id) {
      if (Live(id)) order[next[rankOf[rows_[id].name]]++] = id;
    }
  }
  for (std::size_t r = 0; r + 1 < startOfRank.size(); ++r) {
    if (startOfRank[r + 1] - startOfRank[r] < 2) continue;
    std::sort(order.begin() + startOfRank[r], order.begin() + startOfRank[r + 1],
              [&](std::uint32_t a, std::uint32_t b) { return fileRow(a) < fileRow(b); });
  }

  std::string ranges, rangeStarts;
  {
    std::vector<CaptureRange> list;
    for (std::size_t i = 0; i < order.size(); ++i) {
      if (i % kEntriesPerRangeStart == 0) {
        Put32(rangeStarts, static_cast<std::uint32_t>(ranges.size()));
      }
      RangesOf(order[i], list);
      PutVarint(ranges, static_cast<std::uint32_t>(list.size()));
      std::uint32_t next = 0;
      for (const CaptureRange& r : list) {
        PutVarint(ranges, r.first - next);
        PutVarint(ranges, r.last - r.first);
        next = r.last + 1;
      }
    }
  }

  // Grams: each block's distinct grams (the second half of the blocks on a thread of its
  // own), then one list of blocks per gram.
  std::vector<std::uint64_t> pairs;
  {
    const std::size_t blocks = blockStarts.size();
    const std::size_t half = blocks >= 64 ? blocks / 2 : blocks;
    std::vector<std::uint64_t> later;
    std::thread second;
    if (half < blocks) {
      second = std::thread([&] { GramsOfBlocks(ranked, half, blocks, later); });
    }
    GramsOfBlocks(ranked, 0, half, pairs);
    if (second.joinable()) second.join();
    pairs.insert(pairs.end(), later.begin(), later.end());
  }
  // Made in block order: a stable sort by gram (two passes of 12 bits) keeps each gram's
  // blocks ascending.
  {
    std::vector<std::uint64_t> sorted(pairs.size());
    for (const int shift : {32, 44}) {
      std::vector<std::size_t> starts(4097, 0);
      for (const std::uint64_t pair : pairs) ++starts[((pair >> shift) & 0xFFF) + 1];
      for (std::size_t b = 1; b < starts.size(); ++b) starts[b] += starts[b - 1];
      for (const std::uint64_t pair : pairs) sorted[starts[(pair >> shift) & 0xFFF]++] = pair;
      pairs.swap(sorted);
    }
  }
  std::string gramTable, postings;
  for (std::size_t i = 0; i < pairs.size();) {
    const auto gram = static_cast<std::uint32_t>(pairs[i] >> 32);
    Put32(gramTable, gram);
    Put32(gramTable, static_cast<std::uint32_t>(postings.size()));
    std::uint32_t previous = 0;
    for (; i < pairs.size() && static_cast<std::uint32_t>(pairs[i] >> 32) == gram; ++i) {
      const auto block = static_cast<std::uint32_t>(pairs[i]);
      PutVarint(postings, block - previous);
      previous = block;
    }
  }
  pairs = {};

  std::string captures;
  for (const IndexedCapture& c : captures_) {
    for (const std::string* text : {&c.fileName, &c.computer}) {
      const std::size_t size = std::min<std::size_t>(text->size(), 0xFFFF);
      captures += static_cast<char>(size & 0xFF);
      captures += static_cast<char>(size >> 8);
      captures.append(*text, 0, size);
    }
    captures += c.encoding == NameEncoding::kUtf8 ? '\1' : '\0';
    for (const std::uint64_t v : {c.stamp.volume, c.stamp.index, c.stamp.size, c.stamp.written}) {
      Put64(captures, v);
    }
  }

  const std::uint64_t bodyBytes = captures.size() + stringBytes + 4 * blockStarts.size() +
                                  4 * (blockStarts.size() + 1) + 8 * std::uint64_t{folderCount} +
                                  kEntryBytes * order.size() + rangeStarts.size() + ranges.size() +
                                  gramTable.size() + postings.size();
  const std::uint64_t pageCount = (bodyBytes + kIndexPageBytes - 1) / kIndexPageBytes;
  const std::uint64_t headerBytes = kPageHashesAt + 8 * pageCount;
  if (headerBytes + bodyBytes > kMaxIndexBytes) {
    reason = "it would pass " + std::to_string(kMaxIndexBytes) + " bytes";
    return {};
  }
  std::string out;
  out.reserve(static_cast<std::size_t>(headerBytes + bodyBytes));
  out += kMagic;
  Put64(out, 0);  // the header's hash, once the pages' are down
  for (const std::uint64_t count :
       {std::uint64_t{captures_.size()}, std::uint64_t{blockStarts.size()},
        std::uint64_t{folderCount}, std::uint64_t{order.size()},
        std::uint64_t{gramTable.size() / 8}, std::uint64_t{captures.size()}, stringBytes,
        std::uint64_t{ranges.size()}, std::uint64_t{postings.size()}, pageCount}) {
    if (count > std::numeric_limits<std::uint32_t>::max()) {
      reason = "a section passes 4 GiB";
      return {};
    }
    Put32(out, static_cast<std::uint32_t>(count));
  }
  out.resize(static_cast<std::size_t>(headerBytes), '\0');
  out += captures;
  for (const std::string_view text : ranked) {
    out.append(text);
    out += '\0';
  }
  for (const std::uint32_t start : blockStarts) Put32(out, start);
  for (std::size_t b = 0; b <= blockStarts.size(); ++b) {
    Put32(out, startOfRank[std::min(b * kNamesPerBlock, ranked.size())]);
  }
  for (std::size_t f = 0; f < folders_.size(); ++f) {
    if (usedFolder[f] == 0) continue;
    const std::uint32_t parent = folders_[f].first;
    Put32(out, parent == kShareRoot ? kShareRoot : folderNumber[parent]);
    Put32(out, offsetOf[folders_[f].second]);
  }
  for (const std::uint32_t id : order) {
    for (const std::uint32_t v : fileRow(id)) Put32(out, v);
  }
  out += rangeStarts;
  out += ranges;
  out += gramTable;
  out += postings;
  return ResealedIndex(std::move(out));
}

std::string ResealedIndex(std::string bytes) {
  if (bytes.size() < kPageHashesAt) return bytes;
  const std::uint64_t pageCount = Get32(bytes.data() + kCountsAt + 4 * 9);
  const std::uint64_t headerBytes = kPageHashesAt + 8 * pageCount;
  if (headerBytes > bytes.size()) return bytes;
  const std::string_view body =
      std::string_view(bytes).substr(static_cast<std::size_t>(headerBytes));
  for (std::uint64_t page = 0; page < pageCount; ++page) {
    const std::uint64_t at = page * kIndexPageBytes;
    const std::string_view piece = at < body.size()
                                       ? body.substr(static_cast<std::size_t>(at), kIndexPageBytes)
                                       : std::string_view();
    Set64(bytes, static_cast<std::size_t>(kPageHashesAt + 8 * page), HashOfPage(piece, page));
  }
  Set64(bytes, kHashAt,
        HashOfBytes(std::string_view(bytes).substr(
                        kCountsAt, static_cast<std::size_t>(headerBytes - kCountsAt)),
                    0));
  return bytes;
}

bool CaptureIndex::Decode(std::string_view bytes) {
  *this = CaptureIndex();
  IndexView view;
  std::string strings, folders, entries, ranges;
  if (!view.Open(bytes) || !view.ReadSection(view.strings(), strings) ||
      !view.ReadSection(view.folders(), folders) || !view.ReadSection(view.entries(), entries) ||
      !view.ReadSection(view.ranges(), ranges)) {
    return false;
  }
  const auto fail = [this] {
    *this = CaptureIndex();
    return false;
  };
  captures_ = view.captures();
  // Texts in file order, each once; starts[n] is where text n begins.
  std::vector<std::uint32_t> starts;
  for (std::size_t at = 0; at < strings.size();) {
    const std::size_t end = strings.find('\0', at);
    if (end == std::string::npos) return fail();
    bool added = false;
    texts_.Add(std::string_view(strings).substr(at, end - at), &added);
    if (!added) return fail();
    starts.push_back(static_cast<std::uint32_t>(at));
    at = end + 1;
  }
  const auto textAt = [&](std::uint32_t offset) {
    const auto found = std::lower_bound(starts.begin(), starts.end(), offset);
    return found != starts.end() && *found == offset
               ? static_cast<std::uint32_t>(found - starts.begin())
               : kAbsent;
  };
  for (std::uint32_t f = 0; f < view.folderCount(); ++f) {
    const std::uint32_t parent = Get32(folders.data() + 8 * std::size_t{f});
    const std::uint32_t name = textAt(Get32(folders.data() + 8 * std::size_t{f} + 4));
    if ((parent != kShareRoot && parent >= f) || name == kAbsent || FolderOf(parent, name) != f) {
      return fail();
    }
  }
  // Entries come in the order of their names: the name's text is found walking on.
  std::uint32_t nameText = 0;
  std::size_t r = 0;
  std::vector<CaptureRange> list;
  for (std::uint32_t e = 0; e < view.entryCount(); ++e) {
    const char* field = entries.data() + kEntryBytes * e;
    const std::uint32_t name = Get32(field);
    while (nameText < starts.size() && starts[nameText] < name) ++nameText;
    if (nameText == starts.size() || starts[nameText] != name) return fail();
    Row row{nameText, Get32(field + 4), Get32(field + 8), Get32(field + 12)};
    if ((row.folder & kFolderMask) >= view.folderCount()) return fail();
    for (std::uint32_t* text : {&row.size, &row.created}) {
      if ((*text & kTextFlag) == 0) continue;
      const std::uint32_t number = textAt(*text & ~kTextFlag);
      if (number == kAbsent) return fail();
      *text = kTextFlag | number;
    }
    if ((row.created & kTextFlag) == 0 && row.created >= (1u << 25)) return fail();
    if (EntryOf(row) != e) return fail();
    std::uint32_t count = 0, next = 0;
    if (!GetVarint(ranges, r, count) || count == 0 || count > captures_.size()) return fail();
    list.clear();
    for (std::uint32_t k = 0; k < count; ++k) {
      std::uint32_t gap = 0, length = 0;
      if (!GetVarint(ranges, r, gap) || !GetVarint(ranges, r, length)) return fail();
      const std::uint64_t first = std::uint64_t{next} + gap, last = first + length;
      if (last >= captures_.size()) return fail();
      list.push_back({static_cast<std::uint32_t>(first), static_cast<std::uint32_t>(last)});
      next = static_cast<std::uint32_t>(last + 1);
    }
    SetRanges(e, list);
  }
  if (r != ranges.size()) return fail();
  return true;
}

// --- The view ----------------------------------------------------------------------------

// The file, in memory or read in pages: a page is checked against its hash when it is first
// read, and a few are kept.
struct IndexView::Pages {
  std::string_view bytes;
  std::shared_ptr<InputFile> file;
  std::uint64_t bodyAt = 0, bodyBytes = 0;
  std::vector<std::uint64_t> hashes;
  std::vector<char> checked;  // in memory: the pages whose hash passed
  struct Slot {
    std::size_t page = std::numeric_limits<std::size_t>::max();
    bool checked = false;  // its hash passed; a page read ahead is checked when first used
    std::vector<char> bytes;
  };
  std::vector<Slot> slots;
  std::vector<char> run;  // the pages of one read

  bool ReadRaw(std::uint64_t at, std::size_t size, char* out) {
    if (file == nullptr) {
      if (at > bytes.size() || size > bytes.size() - at) return false;
      std::memcpy(out, bytes.data() + at, size);
      return true;
    }
    std::size_t read = 0;
    return file->ReadAt(at, out, size, read) == IoError::kNone && read == size;
  }

  // Page n of the body, checked; empty when it cannot be read or fails its hash.
  std::string_view Page(std::size_t n) {
    const std::uint64_t at = std::uint64_t{n} * kIndexPageBytes;
    const auto size =
        static_cast<std::size_t>(std::min<std::uint64_t>(kIndexPageBytes, bodyBytes - at));
    if (file == nullptr) {
      const std::string_view page = bytes.substr(static_cast<std::size_t>(bodyAt + at), size);
      if (checked[n] == 0) {
        if (HashOfPage(page, n) != hashes[n]) return {};
        checked[n] = 1;
      }
      return page;
    }
    Slot& slot = slots[n % slots.size()];
    if (slot.page != n) {
      // One read brings the page and those after it that are not held: what a search reads
      // next lies mostly close by, and each read of the file costs a call of its own.
      std::size_t count = 1;
      while (count < kIndexPagesReadAhead && n + count < hashes.size() &&
             slots[(n + count) % slots.size()].page != n + count) {
        ++count;
      }
      const auto bytesOfRun = static_cast<std::size_t>(
          std::min<std::uint64_t>(std::uint64_t{count} * kIndexPageBytes, bodyBytes - at));
      run.resize(bytesOfRun);
      if (!ReadRaw(bodyAt + at, bytesOfRun, run.data())) return {};
      for (std::size_t k = 0; k < count; ++k) {
        Slot& into = slots[(n + k) % slots.size()];
        const std::size_t from = k * kIndexPageBytes;
        into.bytes.assign(run.data() + from,
                          run.data() + std::min(bytesOfRun, from + kIndexPageBytes));
        into.page = n + k;
        into.checked = false;
      }
    }
    if (!slot.checked) {
      if (HashOfPage(std::string_view(slot.bytes.data(), size), n) != hashes[n]) {
        slot.page = std::numeric_limits<std::size_t>::max();
        return {};
      }
      slot.checked = true;
    }
    return std::string_view(slot.bytes.data(), slot.bytes.size());
  }
};

IndexView::IndexView() = default;
IndexView::~IndexView() = default;
IndexView::IndexView(IndexView&&) noexcept = default;
IndexView& IndexView::operator=(IndexView&&) noexcept = default;

bool IndexView::Open(std::string_view bytes) {
  *this = IndexView();
  pages_ = std::make_unique<Pages>();
  pages_->bytes = bytes;
  fileBytes_ = bytes.size();
  return OpenPages();
}

bool IndexView::Open(std::shared_ptr<InputFile> file) {
  *this = IndexView();
  if (file == nullptr) return false;
  pages_ = std::make_unique<Pages>();
  fileBytes_ = file->stamp().size;
  pages_->file = std::move(file);
  pages_->slots.resize(kIndexCachedPages);
  return OpenPages();
}

bool IndexView::Fail() const {
  broken_ = true;
  return false;
}

bool IndexView::OpenPages() {
  Pages& pages = *pages_;
  char header[kPageHashesAt];
  if (fileBytes_ < kPageHashesAt || !pages.ReadRaw(0, kPageHashesAt, header) ||
      std::string_view(header, kMagic.size()) != kMagic) {
    return Fail();
  }
  std::uint32_t counts[kCountFields];
  for (std::size_t i = 0; i < kCountFields; ++i) counts[i] = Get32(header + kCountsAt + 4 * i);
  const std::uint64_t pageCount = counts[9];
  const std::uint64_t headerBytes = kPageHashesAt + 8 * pageCount;
  if (headerBytes > fileBytes_ || pageCount > kMaxIndexPages) return Fail();
  std::string hashed(header + kCountsAt, kPageHashesAt - kCountsAt);
  hashed.resize(static_cast<std::size_t>(headerBytes - kCountsAt));
  if (!pages.ReadRaw(kPageHashesAt, static_cast<std::size_t>(8 * pageCount),
                     hashed.data() + (kPageHashesAt - kCountsAt)) ||
      Get64(header + kHashAt) != HashOfBytes(hashed, 0)) {
    return Fail();
  }
  pages.bodyAt = headerBytes;
  pages.bodyBytes = fileBytes_ - headerBytes;
  if (pageCount != (pages.bodyBytes + kIndexPageBytes - 1) / kIndexPageBytes) return Fail();
  pages.hashes.resize(static_cast<std::size_t>(pageCount));
  for (std::size_t p = 0; p < pages.hashes.size(); ++p) {
    pages.hashes[p] = Get64(hashed.data() + (kPageHashesAt - kCountsAt) + 8 * p);
  }
  if (pages.file == nullptr) pages.checked.assign(pages.hashes.size(), 0);

  const std::uint32_t captureCount = counts[0];
  blockCount_ = counts[1];
  folderCount_ = counts[2];
  entryCount_ = counts[3];
  gramCount_ = counts[4];
  Section captures;
  const std::pair<Section*, std::uint64_t> sections[] = {
      {&captures, counts[5]},
      {&strings_, counts[6]},
      {&blockStarts_, 4ull * blockCount_},
      {&blockEntries_, 4ull * blockCount_ + 4},
      {&folders_, 8ull * folderCount_},
      {&entries_, kEntryBytes * entryCount_},
      {&rangeStarts_,
       4 * ((std::uint64_t{entryCount_} + kEntriesPerRangeStart - 1) / kEntriesPerRangeStart)},
      {&ranges_, counts[7]},
      {&grams_, 8ull * gramCount_},
      {&postings_, counts[8]}};
  std::uint64_t at = 0;
  for (const auto& [section, size] : sections) {
    if (size > pages.bodyBytes - at) return Fail();
    *section = {at, size};
    at += size;
  }
  if (at != pages.bodyBytes || strings_.size > kMaxIndexStringBytes ||
      (strings_.size == 0) != (blockCount_ == 0) || captureCount == 0 ||
      captureCount > kMaxIndexCaptures || captures.size > kMaxIndexCaptureBytes) {
    return Fail();
  }

  // Captures, each named once.
  std::string bytes;
  if (!ReadSection(captures, bytes)) return false;
  std::size_t c = 0;
  std::set<std::string_view> names;
  if (captureCount > bytes.size() / (5 + kStampBytes)) return Fail();  // each takes as many
  captures_.reserve(captureCount);
  for (std::uint32_t i = 0; i < captureCount; ++i) {
    IndexedCapture capture;
    std::string* texts[] = {&capture.fileName, &capture.computer};
    for (std::string* text : texts) {
      if (bytes.size() - c < 2) return Fail();
      const std::size_t size = static_cast<unsigned char>(bytes[c]) |
                               std::size_t{static_cast<unsigned char>(bytes[c + 1])} << 8;
      c += 2;
      if (bytes.size() - c < size) return Fail();
      text->assign(bytes, c, size);
      c += size;
    }
    if (bytes.size() - c < 1 + kStampBytes || static_cast<unsigned char>(bytes[c]) > 1) {
      return Fail();
    }
    capture.encoding = bytes[c] == '\1' ? NameEncoding::kUtf8 : NameEncoding::kAnsi;
    const char* stamp = bytes.data() + c + 1;
    capture.stamp = {Get64(stamp), Get64(stamp + 8), Get64(stamp + 16), Get64(stamp + 24)};
    c += 1 + kStampBytes;
    captures_.push_back(std::move(capture));
  }
  for (const IndexedCapture& capture : captures_) {
    if (!names.insert(capture.fileName).second) return Fail();
  }
  return c == bytes.size() ? true : Fail();
}

bool IndexView::Read(std::uint64_t at, std::size_t size, char* out) const {
  if (broken_ || pages_ == nullptr) return false;
  if (at > pages_->bodyBytes || size > pages_->bodyBytes - at) return Fail();
  while (size > 0) {
    const std::string_view page = pages_->Page(static_cast<std::size_t>(at / kIndexPageBytes));
    const auto within = static_cast<std::size_t>(at % kIndexPageBytes);
    if (page.size() <= within) return Fail();
    const std::size_t take = std::min(size, page.size() - within);
    std::memcpy(out, page.data() + within, take);
    out += take;
    at += take;
    size -= take;
  }
  return true;
}

bool IndexView::CheckPages() const {
  if (broken_ || pages_ == nullptr) return false;
  for (std::size_t page = 0; page < pages_->hashes.size(); ++page) {
    if (pages_->Page(page).empty()) return Fail();
  }
  return true;
}

bool IndexView::ReadSection(const Section& section, std::string& out) const {
  out.assign(static_cast<std::size_t>(section.size), '\0');
  return Read(section.at, out.size(), out.data());
}

std::uint32_t IndexView::Word(const Section& section, std::uint64_t at) const {
  char bytes[4];
  if (at > section.size || section.size - at < 4) return Fail(), 0;
  return Read(section.at + at, 4, bytes) ? Get32(bytes) : 0;
}

std::string IndexView::StringAt(std::uint32_t offset) const {
  std::string out;
  char piece[256];
  if (offset >= strings_.size) return Fail(), out;
  // Only the start of a string: offset 0, or just after a NUL.
  if (offset > 0 && (!Read(strings_.at + offset - 1, 1, piece) || piece[0] != '\0')) {
    return Fail(), out;
  }
  for (std::uint64_t at = offset;;) {
    const auto take =
        static_cast<std::size_t>(std::min<std::uint64_t>(sizeof piece, strings_.size - at));
    if (take == 0 || out.size() > kMaxLineBytes || !Read(strings_.at + at, take, piece)) {
      return Fail(), std::string();
    }
    const void* end = std::memchr(piece, '\0', take);
    if (end != nullptr) {
      out.append(piece, static_cast<std::size_t>(static_cast<const char*>(end) - piece));
      return out;
    }
    out.append(piece, take);
    at += take;
  }
}

std::string IndexView::TextOf(std::uint32_t field, bool packedDate) const {
  if ((field & kTextFlag) != 0) return StringAt(field & ~kTextFlag);
  if (packedDate && field >= (1u << 25)) return Fail(), std::string();
  return packedDate ? UnpackedDate(field) : std::to_string(field);
}

IndexedEntry IndexView::Entry(std::uint32_t id) const {
  IndexedEntry out;
  char row[kEntryBytes];
  if (id >= entryCount_) return Fail(), out;
  if (!Read(entries_.at + kEntryBytes * id, kEntryBytes, row)) return out;
  const std::uint32_t folderAndFlags = Get32(row + 4);
  out.encoding = (folderAndFlags & kUtf8Flag) != 0 ? NameEncoding::kUtf8 : NameEncoding::kAnsi;
  out.entry.isDirectory = (folderAndFlags & kDirectoryFlag) != 0;
  out.entry.size = TextOf(Get32(row + 8), false);
  out.entry.created = TextOf(Get32(row + 12), true);
  // Each folder's parent comes before it, so the walk up ends at a share's root.
  std::vector<std::string> components;
  std::uint32_t folder = folderAndFlags & kFolderMask;
  while (!broken_) {
    char pair[8];
    if (folder >= folderCount_) return Fail(), out;
    if (!Read(folders_.at + 8 * std::uint64_t{folder}, 8, pair)) return out;
    const std::uint32_t parent = Get32(pair);
    std::string name = StringAt(Get32(pair + 4));
    if (parent == kShareRoot) {
      out.entry.share = std::move(name);
      break;
    }
    if (parent >= folder) return Fail(), out;
    components.push_back(std::move(name));
    folder = parent;
  }
  for (auto c = components.rbegin(); c != components.rend(); ++c) {
    out.entry.path.append(*c);
    out.entry.path += kPathSeparator;
  }
  out.entry.path.append(StringAt(Get32(row)));
  return out;
}

std::vector<CaptureRange> IndexView::Ranges(std::uint32_t id) const {
  std::vector<CaptureRange> out;
  if (id >= entryCount_) return Fail(), out;
  const std::uint64_t start = Word(rangeStarts_, 4 * std::uint64_t{id / kEntriesPerRangeStart});
  if (broken_ || start > ranges_.size) return Fail(), out;
  // The ranges of the entries before id in its group are read past; a piece of the stream
  // that ends within them is read again, longer.
  std::string piece;
  for (std::uint64_t want = 256;; want *= 4) {
    const std::uint64_t take = std::min<std::uint64_t>(want, ranges_.size - start);
    if (!ReadSection({ranges_.at + start, take}, piece)) return out;
    out.clear();
    std::size_t at = 0;
    bool whole = true;
    const std::uint32_t captureCount = static_cast<std::uint32_t>(captures_.size());
    for (auto e = id / kEntriesPerRangeStart * kEntriesPerRangeStart; whole && e <= id; ++e) {
      std::uint32_t count = 0, next = 0;
      whole = GetVarint(piece, at, count);
      if (whole && (count == 0 || count > captureCount)) return Fail(), out;
      for (std::uint32_t k = 0; whole && k < count; ++k) {
        std::uint32_t gap = 0, length = 0;
        whole = GetVarint(piece, at, gap) && GetVarint(piece, at, length);
        const std::uint64_t first = std::uint64_t{next} + gap, last = first + length;
        if (whole && last >= captureCount) return Fail(), out;
        if (whole && e == id) {
          out.push_back({static_cast<std::uint32_t>(first), static_cast<std::uint32_t>(last)});
        }
        next = static_cast<std::uint32_t>(last + 1);
      }
    }
    if (whole) return out;
    if (take == ranges_.size - start) return Fail(), std::vector<CaptureRange>();
  }
}

bool IndexView::BlocksOfGrams(std::string_view literal, std::vector<std::uint32_t>& blocks) const {
  std::vector<std::uint32_t> wanted;
  for (std::size_t at = 0; at + 3 <= literal.size(); ++at) wanted.push_back(GramAt(literal, at));
  std::sort(wanted.begin(), wanted.end());
  wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
  if (wanted.empty()) return false;
  blocks.clear();
  std::vector<std::uint32_t> list, both;
  std::string postings;
  for (std::size_t w = 0; w < wanted.size(); ++w) {
    std::uint32_t low = 0, high = gramCount_;
    while (low < high && !broken_) {
      const std::uint32_t middle = low + (high - low) / 2;
      if (Word(grams_, 8 * std::uint64_t{middle}) < wanted[w]) {
        low = middle + 1;
      } else {
        high = middle;
      }
    }
    if (broken_ || low == gramCount_ || Word(grams_, 8 * std::uint64_t{low}) != wanted[w]) {
      blocks.clear();
      return true;
    }
    const std::uint64_t start = Word(grams_, 8 * std::uint64_t{low} + 4);
    const std::uint64_t end =
        low + 1 < gramCount_ ? Word(grams_, 8 * std::uint64_t{low} + 12) : postings_.size;
    // A list holds each block at most once, in at most five bytes.
    if (broken_ || start >= end || end > postings_.size ||
        end - start > 5 * std::uint64_t{blockCount_} ||
        !ReadSection({postings_.at + start, end - start}, postings)) {
      Fail();
      blocks.clear();
      return true;
    }
    list.clear();
    std::uint64_t block = 0;
    for (std::size_t at = 0; at < postings.size();) {
      std::uint32_t delta = 0;
      if (!GetVarint(postings, at, delta) || (!list.empty() && delta == 0) ||
          (block += delta) >= blockCount_) {
        Fail();
        blocks.clear();
        return true;
      }
      list.push_back(static_cast<std::uint32_t>(block));
    }
    if (w == 0) {
      blocks.swap(list);
    } else {
      both.clear();
      std::set_intersection(blocks.begin(), blocks.end(), list.begin(), list.end(),
                            std::back_inserter(both));
      blocks.swap(both);
    }
    if (blocks.empty()) return true;
  }
  return true;
}

std::vector<std::uint32_t> IndexView::Matching(const SnapshotPattern& pattern, EntryKinds kinds,
                                               CodePageDecoder& decoder, std::size_t limit) const {
  // For each block, which encodings may match there: 1 UTF-8, 2 ANSI.
  std::vector<unsigned char> wanted(blockCount_, 0);
  for (const auto& [encoding, bit] :
       {std::pair{NameEncoding::kUtf8, 1}, std::pair{NameEncoding::kAnsi, 2}}) {
    if (!pattern.CanMatch(encoding)) continue;
    std::vector<std::uint32_t> blocks;
    if (BlocksOfGrams(pattern.Literal(encoding), blocks)) {
      for (const std::uint32_t b : blocks) wanted[b] = static_cast<unsigned char>(wanted[b] | bit);
    } else {  // a run too short for a gram: every block
      for (unsigned char& w : wanted) w = static_cast<unsigned char>(w | bit);
    }
  }
  std::vector<std::uint32_t> found;
  std::string block, rows, scratch;
  std::vector<std::pair<std::uint32_t, unsigned char>> matched;  // offset, encodings
  constexpr std::uint32_t kRowsAtOnce = 1024;
  for (std::uint32_t b = 0; b < blockCount_ && !broken_ && found.size() <= limit; ++b) {
    if (wanted[b] == 0) continue;
    const std::uint32_t start = Word(blockStarts_, 4 * std::uint64_t{b});
    const std::uint64_t end =
        b + 1 < blockCount_ ? Word(blockStarts_, 4 * std::uint64_t{b} + 4) : strings_.size;
    const std::uint32_t firstRow = Word(blockEntries_, 4 * std::uint64_t{b});
    const std::uint32_t endRow = Word(blockEntries_, 4 * std::uint64_t{b} + 4);
    // A block begins where a string does and ends with one; its rows lie within the entries.
    const std::uint32_t before = start > 0 ? 1 : 0;
    if (broken_ || start >= end || end > strings_.size || (b == 0) != (start == 0) ||
        firstRow > endRow || endRow > entryCount_ ||
        !ReadSection({strings_.at + start - before, end - start + before}, block) ||
        block.back() != '\0' || (before == 1 && block.front() != '\0')) {
      Fail();
      break;
    }
    matched.clear();
    for (std::size_t at = before; at < block.size();) {
      const std::string_view name(block.data() + at);
      const auto offset = static_cast<std::uint32_t>(start + at - before);
      at += name.size() + 1;
      const bool utf8 =
          (wanted[b] & 1) != 0 && pattern.MatchesName(name, NameEncoding::kUtf8, decoder, scratch);
      const bool ansi =
          (wanted[b] & 2) != 0 && pattern.MatchesName(name, NameEncoding::kAnsi, decoder, scratch);
      if (utf8 || ansi) matched.push_back({offset, (utf8 ? 1 : 0) | (ansi ? 2 : 0)});
    }
    if (matched.empty()) continue;
    // The block's rows come in the order of their names: walk both together.
    std::size_t k = 0;
    std::uint32_t previous = start;
    for (std::uint32_t from = firstRow; from < endRow && k < matched.size() && !broken_;
         from += kRowsAtOnce) {
      const std::uint32_t count = std::min(kRowsAtOnce, endRow - from);
      if (!ReadSection({entries_.at + kEntryBytes * from, kEntryBytes * count}, rows)) break;
      for (std::uint32_t r = 0; r < count && k < matched.size(); ++r) {
        const char* row = rows.data() + kEntryBytes * r;
        const std::uint32_t name = Get32(row);
        if (name < previous || name >= end) {
          Fail();
          break;
        }
        previous = name;
        while (k < matched.size() && matched[k].first < name) ++k;
        if (k == matched.size() || matched[k].first != name) continue;
        const std::uint32_t flags = Get32(row + 4);
        const bool isDirectory = (flags & kDirectoryFlag) != 0;
        if ((matched[k].second & ((flags & kUtf8Flag) != 0 ? 1 : 2)) == 0) continue;
        if (kinds != EntryKinds::kAll && (kinds == EntryKinds::kDirectories) != isDirectory) {
          continue;
        }
        found.push_back(from + r);
      }
    }
  }
  if (broken_) found.clear();
  return found;
}

}  // namespace mv
