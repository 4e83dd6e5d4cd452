// The capture index: the model that updates change, its file form, and the checked view that
// find searches. See capture_index.h for the layout.
#include "query/capture_index.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <set>
#include <unordered_map>
#include <utility>

#include "core/snapshot_name.h"
#include "core/text.h"
#include "query/folded_search.h"

namespace mv {
namespace {

constexpr std::string_view kMagic = "MVINDEX1";
constexpr std::size_t kHashAt = 8;
constexpr std::size_t kCountsAt = 16;
constexpr std::size_t kCountFields = 9;
constexpr std::size_t kHeaderBytes = kCountsAt + 4 * kCountFields;
constexpr std::uint32_t kShareRoot = 0xFFFFFFFFu;  // a folder without parent: a share
constexpr std::uint32_t kTextFlag = 0x80000000u;   // size or date kept as a text
constexpr std::uint32_t kDirectoryFlag = 1u << 30;
constexpr std::uint32_t kUtf8Flag = 1u << 31;
constexpr std::uint32_t kFolderMask = kDirectoryFlag - 1;
constexpr std::size_t kEntryBytes = 16;
constexpr std::size_t kStampBytes = 32;

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

// Callers check that [at, at + 4) lies in bytes.
std::uint32_t Get32(std::string_view bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  }
  return value;
}
std::uint64_t Get64(std::string_view bytes, std::size_t at) {
  return Get32(bytes, at) | (std::uint64_t{Get32(bytes, at + 4)} << 32);
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

// A 64-bit hash of the file's bytes, a word at a time: damage shows, at memory speed.
std::uint64_t HashOfIndex(std::string_view bytes) {
  std::uint64_t hash = 0x6D76696E64657831ull ^ bytes.size();
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

// The pieces of a key, as EntryKey joined them.
struct KeyParts {
  NameEncoding encoding = NameEncoding::kAnsi;
  bool isDirectory = false;
  std::string_view share, path, size, created;
};

KeyParts SplitKey(std::string_view key) {
  KeyParts parts;
  parts.encoding = key[0] == 'u' ? NameEncoding::kUtf8 : NameEncoding::kAnsi;
  parts.isDirectory = key[1] == 'd';
  std::string_view rest = key.substr(2);
  std::string_view* fields[] = {&parts.share, &parts.path, &parts.size};
  for (std::string_view* field : fields) {
    const std::size_t cut = rest.find('\0');
    *field = rest.substr(0, cut);
    rest.remove_prefix(cut + 1);
  }
  parts.created = rest;
  return parts;
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

std::size_t TextSet::SlotOf(std::string_view text, std::uint64_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = static_cast<std::size_t>(hash) & mask;; slot = (slot + 1) & mask) {
    const std::uint32_t held = slots_[slot];
    if (held == 0 || (hashes_[held - 1] == hash && (*this)[held - 1] == text)) return slot;
  }
}

std::uint32_t TextSet::Find(std::string_view text) const {
  if (slots_.empty()) return kAbsent;
  const std::uint32_t held = slots_[SlotOf(text, HashOfText(text))];
  return held == 0 ? kAbsent : held - 1;
}

std::uint32_t TextSet::Add(std::string_view text, bool* added) {
  if (2 * (std::size_t{size()} + 1) > slots_.size()) {  // at most half full
    std::vector<std::uint32_t> grown(slots_.empty() ? 1024 : 2 * slots_.size(), 0);
    slots_.swap(grown);
    for (std::uint32_t n = 0; n < size(); ++n) {
      std::size_t slot = static_cast<std::size_t>(hashes_[n]) & (slots_.size() - 1);
      while (slots_[slot] != 0) slot = (slot + 1) & (slots_.size() - 1);
      slots_[slot] = n + 1;
    }
  }
  const std::uint64_t hash = HashOfText(text);
  const std::size_t slot = SlotOf(text, hash);
  if (added != nullptr) *added = slots_[slot] == 0;
  if (slots_[slot] != 0) return slots_[slot] - 1;
  const std::uint32_t number = size();
  bytes_.append(text);
  starts_.push_back(bytes_.size());
  hashes_.push_back(hash);
  slots_[slot] = number + 1;
  return number;
}

std::uint32_t CaptureIndex::IdOf(std::string_view key) {
  bool added = false;
  const std::uint32_t id = keys_.Add(key, &added);
  if (added) ranges_.emplace_back();
  return id;
}

void CaptureIndex::AddToEntry(std::uint32_t id, std::uint32_t position) {
  std::vector<CaptureRange>& ranges = ranges_[id];
  // Most captures join at the end: look from there.
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
}

bool CaptureIndex::InsertCapture(std::size_t position, IndexedCapture capture,
                                 const SnapshotLayout& layout) {
  if (position > captures_.size() || captures_.size() >= kFolderMask) return false;
  for (const ShareSection& share : layout.shares) {
    if (share.name.find('\0') != std::string::npos) return false;
  }
  std::vector<std::uint32_t> ids;
  const bool read = ForEachEntry(layout, [&](const ShareSection& share, const SnapshotEntry& e) {
    ids.push_back(
        IdOf(EntryKey(layout.encoding, e.isDirectory, share.name, e.path, e.size, e.created)));
  });
  if (!read) return false;
  std::sort(ids.begin(), ids.end());
  if (std::adjacent_find(ids.begin(), ids.end()) != ids.end()) return false;
  const auto at = static_cast<std::uint32_t>(position);
  if (position < captures_.size()) {
    for (std::vector<CaptureRange>& ranges : ranges_) {
      for (std::size_t r = 0; r < ranges.size(); ++r) {
        if (ranges[r].first >= at) {
          ++ranges[r].first;
          ++ranges[r].last;
        } else if (ranges[r].last >= at) {
          const CaptureRange later{at + 1, ranges[r].last + 1};
          ranges[r].last = at - 1;
          ranges.insert(ranges.begin() + static_cast<std::ptrdiff_t>(r) + 1, later);
          ++r;
        }
      }
    }
  }
  captures_.insert(captures_.begin() + static_cast<std::ptrdiff_t>(position), std::move(capture));
  for (const std::uint32_t id : ids) AddToEntry(id, at);
  return true;
}

void CaptureIndex::RemoveCapture(std::size_t position) {
  if (position >= captures_.size()) return;
  const auto at = static_cast<std::uint32_t>(position);
  for (std::vector<CaptureRange>& ranges : ranges_) {
    std::vector<CaptureRange> kept;
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
    ranges = std::move(kept);
  }
  captures_.erase(captures_.begin() + static_cast<std::ptrdiff_t>(position));
}

std::size_t CaptureIndex::entryCount() const {
  return static_cast<std::size_t>(
      std::count_if(ranges_.begin(), ranges_.end(), [](const auto& r) { return !r.empty(); }));
}

std::string CaptureIndex::Encode(std::string& reason) const {
  std::vector<std::uint32_t> live;
  for (std::uint32_t id = 0; id < ranges_.size(); ++id) {
    if (!ranges_[id].empty()) live.push_back(id);
  }
  // Texts numbered as first met, each once; entries come in the order captures listed them,
  // a folder's together, so its share and path components are looked up once for the run.
  TextSet texts;
  std::vector<std::uint64_t> offsets;
  std::uint64_t stringBytes = 0;
  const auto offsetOf = [&](std::string_view text) {
    bool added = false;
    const std::uint32_t number = texts.Add(text, &added);
    if (added) {
      offsets.push_back(stringBytes);
      stringBytes += text.size() + 1;
    }
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(offsets[number], kTextFlag - 1));
  };
  std::vector<std::pair<std::uint32_t, std::uint32_t>> folders;  // parent, name
  std::unordered_map<std::uint64_t, std::uint32_t> folderIds;
  const auto folderOf = [&](std::uint32_t parent, std::uint32_t name) {
    const std::uint64_t key = (std::uint64_t{parent} << 32) | name;
    const auto [found, added] = folderIds.emplace(key, static_cast<std::uint32_t>(folders.size()));
    if (added) folders.emplace_back(parent, name);
    return found->second;
  };
  struct Row {
    std::uint32_t name, folder, size, created, id;
  };
  std::vector<Row> rows;
  rows.reserve(live.size());
  std::string_view lastShare, lastFolder;
  bool first = true;
  std::uint32_t lastFolderId = 0;
  for (const std::uint32_t id : live) {
    const KeyParts p = SplitKey(keys_[id]);
    const std::size_t cut = p.path.rfind(kPathSeparator);
    const std::string_view folderText =
        cut == std::string_view::npos ? std::string_view() : p.path.substr(0, cut + 1);
    std::uint32_t folder = lastFolderId;
    if (first || p.share != lastShare || folderText != lastFolder) {
      folder = folderOf(kShareRoot, offsetOf(p.share));
      if (cut != std::string_view::npos) {
        ForEachComponent(p.path.substr(0, cut),
                         [&](std::string_view c) { folder = folderOf(folder, offsetOf(c)); });
      }
      lastShare = p.share;
      lastFolder = folderText;
      lastFolderId = folder;
      first = false;
    }
    Row row{offsetOf(cut == std::string_view::npos ? p.path : p.path.substr(cut + 1)), folder, 0, 0,
            id};
    if (!PlainNumber(p.size, kTextFlag - 1, row.size)) row.size = kTextFlag | offsetOf(p.size);
    if (!PackedDate(p.created, row.created)) row.created = kTextFlag | offsetOf(p.created);
    if (p.isDirectory) row.folder |= kDirectoryFlag;
    if (p.encoding == NameEncoding::kUtf8) row.folder |= kUtf8Flag;
    rows.push_back(row);
  }
  if (stringBytes > kMaxIndexStringBytes) {
    reason = "its texts pass " + std::to_string(kMaxIndexStringBytes) + " bytes";
    return {};
  }
  std::string strings;
  std::vector<std::uint32_t> blockStarts;
  strings.reserve(static_cast<std::size_t>(stringBytes));
  for (std::uint32_t i = 0; i < texts.size(); ++i) {
    if (i % kNamesPerBlock == 0) blockStarts.push_back(static_cast<std::uint32_t>(strings.size()));
    strings.append(texts[i]);
    strings += '\0';
  }
  if (folders.size() > kMaxIndexFolders) {
    reason = "it has more than " + std::to_string(kMaxIndexFolders) + " folders";
    return {};
  }
  std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
    return std::tie(a.name, a.folder, a.size, a.created) <
           std::tie(b.name, b.folder, b.size, b.created);
  });

  std::string ranges, rangeStarts;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (i % kEntriesPerRangeStart == 0)
      Put32(rangeStarts, static_cast<std::uint32_t>(ranges.size()));
    const std::vector<CaptureRange>& list = ranges_[rows[i].id];
    PutVarint(ranges, static_cast<std::uint32_t>(list.size()));
    std::uint32_t next = 0;
    for (const CaptureRange& r : list) {
      PutVarint(ranges, r.first - next);
      PutVarint(ranges, r.last - r.first);
      next = r.last + 1;
    }
  }

  // Grams: each block's distinct grams, then one list of blocks per gram.
  std::vector<std::uint64_t> pairs;  // gram << 32 | block
  std::vector<std::uint32_t> grams;
  for (std::size_t block = 0; block < blockStarts.size(); ++block) {
    grams.clear();
    const std::size_t end = std::min<std::size_t>(texts.size(), (block + 1) * kNamesPerBlock);
    for (std::size_t i = block * kNamesPerBlock; i < end; ++i) {
      const std::string_view text = texts[static_cast<std::uint32_t>(i)];
      for (std::size_t at = 0; at + 3 <= text.size(); ++at) grams.push_back(GramAt(text, at));
    }
    std::sort(grams.begin(), grams.end());
    grams.erase(std::unique(grams.begin(), grams.end()), grams.end());
    for (const std::uint32_t gram : grams) pairs.push_back((std::uint64_t{gram} << 32) | block);
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

  std::string out(kMagic);
  Put64(out, 0);  // the hash, once the rest is down
  for (const std::size_t count : {captures_.size(), blockStarts.size(), folders.size(), rows.size(),
                                  pairs.empty() ? 0 : gramTable.size() / 8, captures.size(),
                                  strings.size(), ranges.size(), postings.size()}) {
    if (count > std::numeric_limits<std::uint32_t>::max()) {
      reason = "a section passes 4 GiB";
      return {};
    }
    Put32(out, static_cast<std::uint32_t>(count));
  }
  out += captures;
  out += strings;
  for (const std::uint32_t start : blockStarts) Put32(out, start);
  for (const auto& [parent, name] : folders) {
    Put32(out, parent);
    Put32(out, name);
  }
  for (const Row& row : rows) {
    for (const std::uint32_t v : {row.name, row.folder, row.size, row.created}) Put32(out, v);
  }
  out += rangeStarts;
  out += ranges;
  out += gramTable;
  out += postings;
  if (out.size() > kMaxIndexBytes) {
    reason = "it would pass " + std::to_string(kMaxIndexBytes) + " bytes";
    return {};
  }
  const std::uint64_t hash = HashOfIndex(std::string_view(out).substr(kCountsAt));
  for (std::size_t i = 0; i < 8; ++i)
    out[kHashAt + i] = static_cast<char>((hash >> (8 * i)) & 0xFF);
  return out;
}

bool CaptureIndex::Decode(std::string_view bytes) {
  *this = CaptureIndex();
  IndexView view;
  if (!view.Open(bytes)) return false;
  captures_ = view.captures();
  for (std::uint32_t id = 0; id < view.entryCount(); ++id) {
    const IndexedEntry e = view.Entry(id);
    const std::string key = EntryKey(e.encoding, e.entry.isDirectory, e.entry.share, e.entry.path,
                                     e.entry.size, e.entry.created);
    if (IdOf(key) != id) {  // two entries of one key: not a file this program wrote
      *this = CaptureIndex();
      return false;
    }
    ranges_.back() = view.Ranges(id);
  }
  return true;
}

// --- The view ----------------------------------------------------------------------------

bool IndexView::Open(std::string_view bytes) {
  *this = IndexView();
  if (bytes.size() < kHeaderBytes || bytes.substr(0, kMagic.size()) != kMagic) return false;
  if (Get64(bytes, kHashAt) != HashOfIndex(bytes.substr(kCountsAt))) return false;
  std::uint32_t counts[kCountFields];
  for (std::size_t i = 0; i < kCountFields; ++i) counts[i] = Get32(bytes, kCountsAt + 4 * i);
  const std::uint32_t captureCount = counts[0];
  blockCount_ = counts[1];
  folderCount_ = counts[2];
  entryCount_ = counts[3];
  gramCount_ = counts[4];
  const std::uint64_t rangeStartCount =
      (std::uint64_t{entryCount_} + kEntriesPerRangeStart - 1) / kEntriesPerRangeStart;
  const std::uint64_t sizes[] = {counts[5],
                                 counts[6],
                                 4ull * blockCount_,
                                 8ull * folderCount_,
                                 kEntryBytes * entryCount_,
                                 4 * rangeStartCount,
                                 counts[7],
                                 8ull * gramCount_,
                                 counts[8]};
  std::string_view* sections[] = {nullptr,       &strings_, &blockStarts_, &folders_, &entries_,
                                  &rangeStarts_, &ranges_,  &grams_,       &postings_};
  std::string_view captures;
  std::uint64_t at = kHeaderBytes;
  for (std::size_t i = 0; i < std::size(sizes); ++i) {
    if (sizes[i] > bytes.size() - at) return false;
    const std::string_view section =
        bytes.substr(static_cast<std::size_t>(at), static_cast<std::size_t>(sizes[i]));
    *(sections[i] != nullptr ? sections[i] : &captures) = section;
    at += sizes[i];
  }
  if (at != bytes.size()) return false;

  // Captures, each named once.
  std::size_t c = 0;
  std::set<std::string_view> names;
  for (std::uint32_t i = 0; i < captureCount; ++i) {
    IndexedCapture capture;
    std::string* texts[] = {&capture.fileName, &capture.computer};
    for (std::string* text : texts) {
      if (captures.size() - c < 2) return false;
      const std::size_t size = static_cast<unsigned char>(captures[c]) |
                               std::size_t{static_cast<unsigned char>(captures[c + 1])} << 8;
      c += 2;
      if (captures.size() - c < size) return false;
      text->assign(captures.substr(c, size));
      c += size;
    }
    if (captures.size() - c < 1 + kStampBytes || static_cast<unsigned char>(captures[c]) > 1) {
      return false;
    }
    capture.encoding = captures[c] == '\1' ? NameEncoding::kUtf8 : NameEncoding::kAnsi;
    capture.stamp = {Get64(captures, c + 1), Get64(captures, c + 9), Get64(captures, c + 17),
                     Get64(captures, c + 25)};
    c += 1 + kStampBytes;
    captures_.push_back(std::move(capture));
    if (!names.insert(captures_.back().fileName).second) return false;
  }
  if (c != captures.size() || captures_.empty()) return false;

  // Strings end in NUL; every reference must be to the start of one.
  if (strings_.size() > kMaxIndexStringBytes || (strings_.empty() != (blockCount_ == 0)) ||
      (!strings_.empty() && strings_.back() != '\0')) {
    return false;
  }
  std::vector<bool> starts(strings_.size() + 1, false);
  starts[0] = true;
  for (std::size_t i = 0; i < strings_.size(); ++i) {
    if (strings_[i] == '\0') starts[i + 1] = true;
  }
  starts[strings_.size()] = false;
  const auto isStart = [&](std::uint32_t offset) {
    return offset < strings_.size() && starts[offset];
  };
  for (std::uint32_t b = 0; b < blockCount_; ++b) {
    const std::uint32_t start = Get32(blockStarts_, 4 * std::size_t{b});
    if (!isStart(start) || (b == 0) != (start == 0) ||
        (b > 0 && start <= Get32(blockStarts_, 4 * std::size_t{b - 1}))) {
      return false;
    }
  }
  for (std::uint32_t f = 0; f < folderCount_; ++f) {
    const std::uint32_t parent = Get32(folders_, 8 * std::size_t{f});
    if ((parent != kShareRoot && parent >= f) ||
        !isStart(Get32(folders_, 8 * std::size_t{f} + 4))) {
      return false;
    }
  }
  std::uint32_t previousName = 0;
  for (std::uint32_t e = 0; e < entryCount_; ++e) {
    const std::size_t row = kEntryBytes * e;
    const std::uint32_t name = Get32(entries_, row);
    const std::uint32_t size = Get32(entries_, row + 8);
    const std::uint32_t created = Get32(entries_, row + 12);
    if (!isStart(name) || name < previousName ||
        (Get32(entries_, row + 4) & kFolderMask) >= folderCount_ ||
        ((size & kTextFlag) != 0 && !isStart(size & ~kTextFlag)) ||
        ((created & kTextFlag) != 0 && !isStart(created & ~kTextFlag)) ||
        ((created & kTextFlag) == 0 && created >= (1u << 25))) {
      return false;
    }
    previousName = name;
  }
  // Every entry's ranges, read in one pass: they must fill the stream exactly.
  std::size_t r = 0;
  for (std::uint32_t e = 0; e < entryCount_; ++e) {
    if (e % kEntriesPerRangeStart == 0 &&
        Get32(rangeStarts_, 4 * std::size_t{e / kEntriesPerRangeStart}) != r) {
      return false;
    }
    std::uint32_t count = 0, next = 0;
    if (!GetVarint(ranges_, r, count) || count == 0 || count > captureCount) return false;
    for (std::uint32_t k = 0; k < count; ++k) {
      std::uint32_t gap = 0, length = 0;
      if (!GetVarint(ranges_, r, gap) || !GetVarint(ranges_, r, length)) return false;
      const std::uint64_t first = std::uint64_t{next} + gap, last = first + length;
      if (last >= captureCount) return false;
      next = static_cast<std::uint32_t>(last + 1);
    }
  }
  if (r != ranges_.size()) return false;
  // Grams ascending, each with a non-empty list of ascending blocks, filling the postings.
  std::size_t p = 0;
  for (std::uint32_t g = 0; g < gramCount_; ++g) {
    const std::uint32_t gram = Get32(grams_, 8 * std::size_t{g});
    if (gram >= (1u << 24) || (g > 0 && gram <= Get32(grams_, 8 * std::size_t{g - 1})) ||
        Get32(grams_, 8 * std::size_t{g} + 4) != p) {
      return false;
    }
    const std::size_t end =
        g + 1 < gramCount_ ? Get32(grams_, 8 * std::size_t{g} + 12) : postings_.size();
    if (end <= p || end > postings_.size()) return false;
    std::uint64_t block = 0;
    for (bool first = true; p < end; first = false) {
      std::uint32_t delta = 0;
      if (!GetVarint(postings_, p, delta) || (!first && delta == 0)) return false;
      block += delta;
      if (block >= blockCount_) return false;
    }
    if (p != end) return false;
  }
  return p == postings_.size();
}

std::string_view IndexView::StringAt(std::uint32_t offset) const {
  if (offset >= strings_.size()) return {};
  const std::string_view rest = strings_.substr(offset);
  return rest.substr(0, rest.find('\0'));
}

std::string IndexView::TextOf(std::uint32_t field, bool packedDate) const {
  if ((field & kTextFlag) != 0) return std::string(StringAt(field & ~kTextFlag));
  return packedDate ? UnpackedDate(field) : std::to_string(field);
}

IndexedEntry IndexView::Entry(std::uint32_t id) const {
  IndexedEntry out;
  if (id >= entryCount_) return out;
  const std::size_t row = kEntryBytes * id;
  const std::uint32_t folderAndFlags = Get32(entries_, row + 4);
  out.encoding = (folderAndFlags & kUtf8Flag) != 0 ? NameEncoding::kUtf8 : NameEncoding::kAnsi;
  out.entry.isDirectory = (folderAndFlags & kDirectoryFlag) != 0;
  out.entry.size = TextOf(Get32(entries_, row + 8), false);
  out.entry.created = TextOf(Get32(entries_, row + 12), true);
  // Parents come before their children, so the walk up ends at a share's root.
  std::vector<std::string_view> components;
  std::uint32_t folder = folderAndFlags & kFolderMask;
  while (true) {
    const std::uint32_t parent = Get32(folders_, 8 * std::size_t{folder});
    const std::string_view name = StringAt(Get32(folders_, 8 * std::size_t{folder} + 4));
    if (parent == kShareRoot) {
      out.entry.share = std::string(name);
      break;
    }
    components.push_back(name);
    folder = parent;
  }
  for (auto c = components.rbegin(); c != components.rend(); ++c) {
    out.entry.path.append(*c);
    out.entry.path += kPathSeparator;
  }
  out.entry.path.append(StringAt(Get32(entries_, row)));
  return out;
}

std::vector<CaptureRange> IndexView::Ranges(std::uint32_t id) const {
  std::vector<CaptureRange> out;
  DecodeRanges(id, &out);
  return out;
}

bool IndexView::DecodeRanges(std::uint32_t id, std::vector<CaptureRange>* out) const {
  if (id >= entryCount_) return false;
  std::size_t at = Get32(rangeStarts_, 4 * std::size_t{id / kEntriesPerRangeStart});
  // Open checked the whole stream, so the entries before id in its group read back.
  for (auto e = static_cast<std::uint32_t>(id / kEntriesPerRangeStart * kEntriesPerRangeStart);;
       ++e) {
    std::uint32_t count = 0;
    if (!GetVarint(ranges_, at, count)) return false;
    std::uint32_t next = 0;
    for (std::uint32_t k = 0; k < count; ++k) {
      std::uint32_t gap = 0, length = 0;
      if (!GetVarint(ranges_, at, gap) || !GetVarint(ranges_, at, length)) return false;
      if (e == id) out->push_back({next + gap, next + gap + length});
      next += gap + length + 1;
    }
    if (e == id) return true;
  }
}

bool IndexView::BlocksOfGrams(std::string_view literal, std::vector<std::uint32_t>& blocks) const {
  std::vector<std::uint32_t> wanted;
  for (std::size_t at = 0; at + 3 <= literal.size(); ++at) wanted.push_back(GramAt(literal, at));
  std::sort(wanted.begin(), wanted.end());
  wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
  bool first = true;
  std::vector<std::uint32_t> list, both;
  for (const std::uint32_t gram : wanted) {
    std::uint32_t low = 0, high = gramCount_;
    while (low < high) {
      const std::uint32_t middle = low + (high - low) / 2;
      if (Get32(grams_, 8 * std::size_t{middle}) < gram) {
        low = middle + 1;
      } else {
        high = middle;
      }
    }
    if (low == gramCount_ || Get32(grams_, 8 * std::size_t{low}) != gram) {
      blocks.clear();
      return true;
    }
    std::size_t at = Get32(grams_, 8 * std::size_t{low} + 4);
    const std::size_t end =
        low + 1 < gramCount_ ? Get32(grams_, 8 * std::size_t{low} + 12) : postings_.size();
    list.clear();
    std::uint32_t block = 0;
    while (at < end) {
      std::uint32_t delta = 0;
      if (!GetVarint(postings_, at, delta)) return false;
      block += delta;
      list.push_back(block);
    }
    if (first) {
      blocks.swap(list);
      first = false;
    } else {
      both.clear();
      std::set_intersection(blocks.begin(), blocks.end(), list.begin(), list.end(),
                            std::back_inserter(both));
      blocks.swap(both);
    }
    if (blocks.empty()) return true;
  }
  return !first;
}

std::vector<std::uint32_t> IndexView::Matching(const SnapshotPattern& pattern, EntryKinds kinds,
                                               CodePageDecoder& decoder) const {
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
  std::string scratch;
  for (std::uint32_t b = 0; b < blockCount_; ++b) {
    if (wanted[b] == 0) continue;
    std::size_t at = Get32(blockStarts_, 4 * std::size_t{b});
    const std::size_t end =
        b + 1 < blockCount_ ? Get32(blockStarts_, 4 * std::size_t{b + 1}) : strings_.size();
    while (at < end) {
      const auto offset = static_cast<std::uint32_t>(at);
      const std::string_view name = StringAt(offset);
      at += name.size() + 1;
      const bool utf8 =
          (wanted[b] & 1) != 0 && pattern.MatchesName(name, NameEncoding::kUtf8, decoder, scratch);
      const bool ansi =
          (wanted[b] & 2) != 0 && pattern.MatchesName(name, NameEncoding::kAnsi, decoder, scratch);
      if (!utf8 && !ansi) continue;
      // Entries are ordered by name: those of this one lie together.
      std::uint32_t low = 0, high = entryCount_;
      while (low < high) {
        const std::uint32_t middle = low + (high - low) / 2;
        if (Get32(entries_, kEntryBytes * middle) < offset) {
          low = middle + 1;
        } else {
          high = middle;
        }
      }
      for (std::uint32_t e = low; e < entryCount_ && Get32(entries_, kEntryBytes * e) == offset;
           ++e) {
        const std::uint32_t flags = Get32(entries_, kEntryBytes * e + 4);
        const bool isDirectory = (flags & kDirectoryFlag) != 0;
        if (!((flags & kUtf8Flag) != 0 ? utf8 : ansi)) continue;
        if (kinds != EntryKinds::kAll && (kinds == EntryKinds::kDirectories) != isDirectory) {
          continue;
        }
        found.push_back(e);
      }
    }
  }
  return found;
}

}  // namespace mv
