// Comparing two snapshots: each entry of the old snapshot's shares that both hold becomes a
// small record in a table keyed by a case-blind hash of its share, path and kind; the new
// snapshot's entries are looked up there one by one, so the work grows with the number of
// entries whatever order the files list them in, and memory holds the two files, one record
// per old entry and the table.
#include "query/snapshot_diff.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <map>
#include <utility>

#include "core/byte_words.h"
#include "core/snapshot_format.h"
#include "core/text.h"
#include "query/snapshot_scan.h"

namespace mv {
namespace {

constexpr std::uint64_t kMix = 0x9E3779B97F4A7C15u;

std::uint64_t Mix(std::uint64_t hash, std::uint64_t word) {
  hash = (hash ^ word) * kMix;
  return hash ^ (hash >> 29);
}

// A hash of text that ignores ASCII case, eight bytes at a step.
std::uint64_t HashIgnoringCase(std::string_view text, std::uint64_t seed) {
  std::uint64_t hash = Mix(seed, text.size());
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    hash = Mix(hash, words::LowerAscii(words::Load(text.data() + i)));
  }
  if (i < text.size()) {
    std::uint64_t word = 0;
    std::memcpy(&word, text.data() + i, text.size() - i);
    hash = Mix(hash, words::LowerAscii(word));
  }
  return hash;
}

// One entry of a share that both snapshots hold, its line found from its side's text.
struct EntryRecord {
  std::uint64_t hash = 0;
  std::uint32_t offset = 0;      // of the line in its side's text (below 4 GiB)
  std::uint32_t lineLength = 0;  // a line is shorter than any file can be
  std::uint32_t pathLength = 0;
  std::uint16_t share = 0;  // index among the shares both snapshots hold
  bool isDirectory = false;
};

// One snapshot's text, and (for the old one) its entries in the shares both hold.
struct Side {
  const char* base = nullptr;  // the snapshot's text
  std::vector<EntryRecord> records;

  std::string_view Line(const EntryRecord& r) const { return {base + r.offset, r.lineLength}; }
  std::string_view Path(const EntryRecord& r) const { return {base + r.offset, r.pathLength}; }
};

bool SameKey(const Side& older, const EntryRecord& a, const Side& newer, const EntryRecord& b) {
  if (a.share != b.share || a.isDirectory != b.isDirectory || a.pathLength != b.pathLength) {
    return false;
  }
  // Nearly every pair is spelt the same in both files.
  const std::string_view pathA = older.Path(a), pathB = newer.Path(b);
  return std::memcmp(pathA.data(), pathB.data(), pathA.size()) == 0 ||
         EqualsIgnoreCase(pathA, pathB);
}

std::uint64_t SizeOf(std::string_view text) {
  std::uint64_t value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

void AddSaturating(std::uint64_t& total, std::uint64_t amount) {
  total = amount > UINT64_MAX - total ? UINT64_MAX : total + amount;
}

// Share names ignoring case: where each stands in the two snapshots.
struct ShareMatch {
  std::string_view oldName, newName;
  std::vector<const ShareSection*> oldSections, newSections;
  std::uint16_t index = 0;  // among the shares both hold
};

class Comparer {
 public:
  Comparer(std::vector<DiffRow>& rows, DiffSummary& summary) : rows_(rows), summary_(summary) {}

  // older and newer view into the texts oldText and newText.
  void Compare(std::string_view oldText, const SnapshotLayout& older, std::string_view newText,
               const SnapshotLayout& newer) {
    old_.base = oldText.data();
    new_.base = newText.data();
    std::map<std::string, ShareMatch> shares;
    auto key = [](std::string_view name) {
      std::string lowered;
      for (const char c : name) lowered += AsciiLower(c);
      return lowered;
    };
    for (const ShareSection& section : older.shares) {
      ShareMatch& match = shares[key(section.name)];
      if (match.oldSections.empty()) match.oldName = section.name;
      match.oldSections.push_back(&section);
    }
    for (const ShareSection& section : newer.shares) {
      ShareMatch& match = shares[key(section.name)];
      if (match.newSections.empty()) match.newName = section.name;
      match.newSections.push_back(&section);
    }
    std::vector<const ShareMatch*> common;
    for (auto& [name, match] : shares) {
      if (match.newSections.empty()) {
        WholeShare(DiffKind::kShareRemoved, match.oldName, match.oldSections, older.lines);
      } else if (match.oldSections.empty()) {
        WholeShare(DiffKind::kShareAdded, match.newName, match.newSections, newer.lines);
      } else {
        match.index = static_cast<std::uint16_t>(common.size());
        common.push_back(&match);
        oldShareNames_.push_back(match.oldName);
        newShareNames_.push_back(match.newName);
      }
    }
    old_.records.reserve(older.lineCount);
    for (const ShareMatch* match : common) {
      Collect(match->oldSections, match->index, older.lines, old_);
    }
    BuildTable();
    for (const ShareMatch* match : common) {
      for (const ShareSection* section : match->newSections) {
        ForEachEntryIn(section->entries, newer.lines,
                       [&](std::string_view line, const SnapshotEntry& entry) {
                         LookUp(MakeRecord(new_, line, entry, match->index));
                       });
      }
    }
    for (std::size_t i = 0; i < old_.records.size(); ++i) {
      if (!paired_[i]) Entry(DiffKind::kRemoved, &old_.records[i], nullptr);
    }
    std::sort(rows_.begin(), rows_.end(), RowBefore);
  }

 private:
  static EntryRecord MakeRecord(const Side& side, std::string_view line, const SnapshotEntry& entry,
                                std::uint16_t share) {
    const std::uint64_t seed = (std::uint64_t{share} << 1) | (entry.isDirectory ? 1 : 0);
    return {HashIgnoringCase(entry.path, seed),
            static_cast<std::uint32_t>(line.data() - side.base),
            static_cast<std::uint32_t>(line.size()),
            static_cast<std::uint32_t>(entry.path.size()),
            share,
            entry.isDirectory};
  }

  static void Collect(const std::vector<const ShareSection*>& sections, std::uint16_t share,
                      LineShape shape, Side& side) {
    for (const ShareSection* section : sections) {
      ForEachEntryIn(section->entries, shape,
                     [&](std::string_view line, const SnapshotEntry& entry) {
                       side.records.push_back(MakeRecord(side, line, entry, share));
                     });
    }
  }

  // A share that only one snapshot holds: one row, its entries and bytes in the counts.
  void WholeShare(DiffKind kind, std::string_view name,
                  const std::vector<const ShareSection*>& sections, LineShape shape) {
    DiffRow row;
    row.kind = kind;
    row.share = name;
    rows_.push_back(row);
    const bool added = kind == DiffKind::kShareAdded;
    ++(added ? summary_.sharesAdded : summary_.sharesRemoved);
    for (const ShareSection* section : sections) {
      ForEachEntryIn(section->entries, shape, [&](std::string_view, const SnapshotEntry& entry) {
        ++(added ? summary_.added : summary_.removed);
        if (!entry.isDirectory) {
          AddSaturating(added ? summary_.bytesAdded : summary_.bytesRemoved, SizeOf(entry.size));
        }
      });
    }
  }

  // Open addressing with linear probing, at most half full. Records of one hash stand in
  // the order they were entered, so equal keys pair first with first.
  void BuildTable() {
    std::size_t size = 16;
    while (size < 2 * old_.records.size()) size *= 2;
    table_.assign(size, Slot{});
    mask_ = size - 1;
    for (std::size_t i = 0; i < old_.records.size(); ++i) {
      const std::uint64_t hash = old_.records[i].hash;
      std::size_t at = static_cast<std::size_t>(hash) & mask_;
      while (table_[at].index != 0) at = (at + 1) & mask_;
      table_[at] = {static_cast<std::uint32_t>(hash >> 32), static_cast<std::uint32_t>(i + 1)};
    }
    paired_.assign(old_.records.size(), false);
  }

  // Pairs a new entry with the first old one of the same key not paired yet, or reports it
  // added.
  void LookUp(const EntryRecord& newer) {
    const auto tag = static_cast<std::uint32_t>(newer.hash >> 32);
    for (std::size_t at = static_cast<std::size_t>(newer.hash) & mask_; table_[at].index != 0;
         at = (at + 1) & mask_) {
      if (table_[at].tag != tag) continue;
      const std::size_t i = table_[at].index - 1;
      const EntryRecord& older = old_.records[i];
      if (paired_[i] || older.hash != newer.hash || !SameKey(old_, older, new_, newer)) continue;
      paired_[i] = true;
      Pair(older, newer);
      return;
    }
    Entry(DiffKind::kAdded, nullptr, &newer);
  }

  void Pair(const EntryRecord& older, const EntryRecord& newer) {
    // Nearly every entry is unchanged, and then its line is too after the path.
    const std::string_view oldLine = old_.Line(older), newLine = new_.Line(newer);
    if (oldLine.substr(older.pathLength) == newLine.substr(newer.pathLength)) return;
    SnapshotEntry a, b;
    ReadEntry(oldLine, a);
    ReadEntry(newLine, b);
    if (a.size == b.size && a.created == b.created) return;
    Entry(DiffKind::kChanged, &older, &newer);
  }

  void Entry(DiffKind kind, const EntryRecord* older, const EntryRecord* newer) {
    DiffRow row;
    row.kind = kind;
    SnapshotEntry entry;
    if (older != nullptr) {
      ReadEntry(old_.Line(*older), entry);
      row.oldSize = entry.size;
      row.oldCreated = entry.created;
    }
    const std::uint64_t oldBytes = older != nullptr ? SizeOf(row.oldSize) : 0;
    if (newer != nullptr) {
      ReadEntry(new_.Line(*newer), entry);
      row.newSize = entry.size;
      row.newCreated = entry.created;
    }
    const std::uint64_t newBytes = newer != nullptr ? SizeOf(row.newSize) : 0;
    row.share = newer != nullptr ? newShareNames_[newer->share] : oldShareNames_[older->share];
    row.path = entry.path;
    row.isDirectory = entry.isDirectory;
    rows_.push_back(row);
    ++(kind == DiffKind::kAdded     ? summary_.added
       : kind == DiffKind::kRemoved ? summary_.removed
                                    : summary_.changed);
    if (row.isDirectory) return;
    if (newBytes > oldBytes) AddSaturating(summary_.bytesAdded, newBytes - oldBytes);
    if (oldBytes > newBytes) AddSaturating(summary_.bytesRemoved, oldBytes - newBytes);
  }

  // Paths compare by component: the backslash sorts before every other byte, so a
  // directory's content follows it directly.
  static int ComparePaths(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t k = 0; k < n; ++k) {
      auto rank = [](char c) {
        return c == kPathSeparator ? 0 : static_cast<unsigned char>(AsciiLower(c)) + 1;
      };
      if (rank(a[k]) != rank(b[k])) return rank(a[k]) < rank(b[k]) ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
  }

  static bool RowBefore(const DiffRow& a, const DiffRow& b) {
    if (const int c = CompareIgnoreCase(a.share, b.share); c != 0) return c < 0;
    if (const int c = ComparePaths(a.path, b.path); c != 0) return c < 0;
    return a.kind < b.kind;
  }

  std::vector<DiffRow>& rows_;
  DiffSummary& summary_;
  Side old_, new_;
  struct Slot {
    std::uint32_t tag = 0;    // the top half of the record's hash
    std::uint32_t index = 0;  // the record's index + 1; 0: a free slot
  };
  std::vector<Slot> table_;
  std::size_t mask_ = 0;
  std::vector<bool> paired_;  // per old record
  // The spelling of each share both hold, in either snapshot.
  std::vector<std::string_view> oldShareNames_, newShareNames_;
};

// text in the ANSI code page, into UTF-8 line by line: a lead byte of a two-byte code page
// at a line's end never takes the line end with it. False when the result would be larger
// than any snapshot the engine reads (offsets into it are 32 bits).
bool DecodeText(std::string_view text, CodePageDecoder& decoder, std::string& out) {
  out.clear();
  out.reserve(text.size() + text.size() / 8);
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = LineEndAt(text, at);
    decoder.AppendUtf8(text.substr(at, end - at), out);
    at = end;
    while (at < text.size() && (text[at] == '\r' || text[at] == '\n')) out += text[at++];
    if (out.size() > kMaxSnapshotBytes) return false;
  }
  return true;
}

}  // namespace

bool CompareSnapshotFiles(FileSystem& fileSystem, const std::string& oldPath,
                          const std::string& newPath, const CodePageDecoder& ansiNames,
                          SnapshotComparison& comparison, DiffFailure& failure) {
  comparison.rows.clear();
  comparison.summary = DiffSummary{};
  // One after the other: two readers of one file at the same moment could shut each other out.
  const std::string* paths[2] = {&oldPath, &newPath};
  SnapshotText* texts[2] = {&comparison.oldText, &comparison.newText};
  SnapshotLayout layouts[2];
  for (int side = 0; side < 2; ++side) {
    if (!ReadSnapshotLayout(fileSystem, *paths[side], *texts[side], layouts[side],
                            failure.reason)) {
      failure.path = *paths[side];
      return false;
    }
  }
  std::string_view views[2] = {comparison.oldText.view(), comparison.newText.view()};
  comparison.decodedText.clear();
  if (layouts[0].encoding != layouts[1].encoding) {
    const int ansi = layouts[0].encoding == NameEncoding::kAnsi ? 0 : 1;
    CodePageDecoder decoder = ansiNames;
    if (!DecodeText(views[ansi], decoder, comparison.decodedText)) {
      failure.path = *paths[ansi];
      failure.reason = "is too large to compare by name once its names are decoded";
      return false;
    }
    views[ansi] = comparison.decodedText;
    // The same lines in the same order: only bytes of names and values changed.
    ScanSnapshot(views[ansi], layouts[ansi]);
    layouts[ansi].encoding = NameEncoding::kUtf8;
  }
  comparison.oldComputer = layouts[0].computer;
  comparison.newComputer = layouts[1].computer;
  comparison.oldEncoding = layouts[0].encoding;
  comparison.newEncoding = layouts[1].encoding;
  Comparer(comparison.rows, comparison.summary).Compare(views[0], layouts[0], views[1], layouts[1]);
  return true;
}

}  // namespace mv
