// The capture index of one computer: every distinct entry of its snapshots (share, path,
// kind, size and created date as written, and the encoding of the snapshot that wrote it)
// stored once, with the captures that hold it as ranges of that computer's captures in date
// order. Consecutive captures share almost all their entries, so a year of nightly captures
// costs little more than one of them, and find looks a name up once instead of reading every
// snapshot again.
//
// One file per computer, beside its snapshots: "<group>.<computer>.mvindex" (pieces in lower
// case as FileNamePiece writes them; the snapshot pattern "*.mirvaul*" never lists it). Per
// computer rather than one per folder because a new capture then rewrites only its own
// computer's index, a computer's entries are what its captures share (different computers
// share little), and a search of one computer reads one file.
//
// The file is never trusted over the snapshots: each capture is recorded with its file name
// and stamp (identity, size, last write), and a snapshot whose stamp differs, or that the
// index does not name, is searched by reading it.
//
// A search reads the file in pieces, never whole: the header, the captures, and then only the
// pages that hold what it looks at (the grams of its pattern, the blocks of strings they
// name, those blocks' entries and the folders of the hits). Each page of kIndexPageBytes has
// its own hash in the header, and the header has one over itself, so a page is checked as it
// is read, and every offset and count it gives is checked before use. A view that meets a
// check that fails is broken: the search then reads that computer's snapshots.
//
// Layout (little-endian):
//   magic, the hash of the rest of the header, counts and section sizes, and the hash of
//     each page of the body;
//   body: captures (file name, COMPUTER value, encoding, stamp);
//   strings: every distinct text (names, path components, share names, sizes and dates that
//     are not plain numbers), each ending in NUL, in the order the captures first listed
//     them (a folder's names together), cut into blocks of kNamesPerBlock;
//   block starts: where each block of strings begins; block entries: the first entry whose
//     name lies in each block, and the entry count;
//   folders: (parent folder or share root, name) for every folder path, parents first;
//   entries: 16 bytes each (name, folder and flags, size, created), in the order of their
//     names' strings, so that a block's entries lie together;
//   range starts, one per kEntriesPerRangeStart entries, and the ranges as varints;
//   grams: every 3-byte lower-case gram of the strings with the list of blocks that hold it
//     (delta varints). A search takes the blocks that hold every gram of its pattern's plain
//     run and matches only their strings with the real matcher.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/snapshot_format.h"
#include "platform/file_identity.h"
#include "query/snapshot_find.h"
#include "query/snapshot_scan.h"

namespace mv {

inline constexpr std::string_view kIndexExtension = ".mvindex";
// An index file larger than this is not written, and the update does not read one (find
// then reads the snapshots): the update holds a computer's index whole in memory, and in the
// 32-bit program the bound keeps it within its address space. A search reads any index in
// pieces.
inline constexpr std::uint64_t kMaxIndexBytes = sizeof(void*) >= 8 ? 512ull << 20 : 48ull << 20;
// The pages a search checks and keeps: a hit costs a few pages (its name's block, its row,
// its folders, its ranges), so pages are small; kIndexCachedPages of them stay between reads
// (4 MiB in the 32-bit program).
inline constexpr std::size_t kIndexPageBytes = 4096;
inline constexpr std::size_t kIndexCachedPages = sizeof(void*) >= 8 ? 4096 : 1024;
inline constexpr std::size_t kIndexPagesReadAhead = 8;
// A search takes a computer's matching entries from its index at once, with their texts: a
// pattern that matches more of them (a "*" over a large computer) reads its snapshots
// instead, a few hits at a time, so that the 32-bit program stays within its 64 MiB.
inline constexpr std::size_t kMaxIndexMatches = sizeof(void*) >= 8 ? 1u << 21 : 1u << 16;
// An index of more pages (32 GiB) is not read: its page hashes alone would pass 64 MiB.
inline constexpr std::uint64_t kMaxIndexPages = std::uint64_t{1} << 23;
// A computer with a snapshot file larger than this is not indexed (find reads its snapshots):
// its index is built in memory, a few times the size of what it holds, and the 32-bit
// program keeps within its address space.
inline constexpr std::uint64_t kMaxIndexedSnapshotBytes =
    sizeof(void*) >= 8 ? 8ull << 30 : 96ull << 20;
// Strings of one block share one posting in the gram lists: 128 keeps the index under 24
// bytes per distinct entry beside its texts (bench/index), and a block is matched in
// microseconds.
inline constexpr std::size_t kNamesPerBlock = 128;
inline constexpr std::size_t kEntriesPerRangeStart = 16;
// Texts are referred to by 31-bit offsets, folders by 30-bit numbers: an index that would
// pass either is not written (the update says so).
inline constexpr std::uint64_t kMaxIndexStringBytes = (1ull << 31) - 1;
inline constexpr std::uint64_t kMaxIndexFolders = (1ull << 30) - 1;
// Capture positions are kept below the two marks of the model's ranges.
inline constexpr std::uint32_t kMaxIndexCaptures = (1u << 30) - 1;
// An index whose list of captures passes this is not read (20,000 captures take 2 MiB).
inline constexpr std::uint64_t kMaxIndexCaptureBytes = 64ull << 20;

// "<group>.<computer>.mvindex", both lowered.
std::string IndexFileName(std::string_view group, std::string_view computer);

struct IndexedCapture {
  std::string fileName;
  FileStamp stamp;
  std::string computer;  // the COMPUTER value of the file, the live paths' computer
  NameEncoding encoding = NameEncoding::kAnsi;
};

// Positions into the computer's captures in date order, both ends included.
struct CaptureRange {
  std::uint32_t first = 0, last = 0;
  friend bool operator==(const CaptureRange&, const CaptureRange&) = default;
};

struct IndexedEntry {
  NameEncoding encoding = NameEncoding::kAnsi;
  FoundEntry entry;
};

// The key that tells distinct entries apart: encoding, kind, share, path, size, created.
std::string EntryKey(NameEncoding encoding, bool isDirectory, std::string_view share,
                     std::string_view path, std::string_view size, std::string_view created);

// Open-addressed slots of item numbers, each beside the upper half of its item's hash, at
// most half full; the caller keeps the items. A probe compares an item only when the halves
// agree, so a lookup costs one cache miss, not two.
class NumberSlots {
 public:
  static constexpr std::uint32_t kAbsent = 0xFFFFFFFFu;
  // Room for count items in all.
  void Reserve(std::size_t count);
  // The number of the item of hash that is(number) accepts; kAbsent, with where set to the free
  // slot it would take, when there is none. Reserve room for one more before.
  template <typename Is>
  std::uint32_t Find(std::uint64_t hash, Is&& is, std::size_t& where) const {
    const auto tag = static_cast<std::uint32_t>(hash >> 32);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = tag & mask;; at = (at + 1) & mask) {
      const std::uint64_t slot = slots_[at];
      if (slot == 0 || ((slot >> 32) == tag && is(static_cast<std::uint32_t>(slot) - 1))) {
        where = at;
        return slot == 0 ? kAbsent : static_cast<std::uint32_t>(slot) - 1;
      }
    }
  }
  void Put(std::size_t where, std::uint64_t hash, std::uint32_t number) {
    slots_[where] = ((hash >> 32) << 32) | (std::uint64_t{number} + 1);
  }

 private:
  std::vector<std::uint64_t> slots_;
};

// Distinct texts, each kept once and numbered in the order first added.
class TextSet {
 public:
  static constexpr std::uint32_t kAbsent = NumberSlots::kAbsent;
  // The number of text, added when new; added tells which.
  std::uint32_t Add(std::string_view text, bool* added = nullptr);
  std::uint32_t Find(std::string_view text) const;
  // Room for count texts in all.
  void Reserve(std::size_t count);
  std::string_view operator[](std::uint32_t number) const {
    return std::string_view(bytes_).substr(
        static_cast<std::size_t>(starts_[number]),
        static_cast<std::size_t>(starts_[number + 1] - starts_[number]));
  }
  std::uint32_t size() const { return static_cast<std::uint32_t>(starts_.size() - 1); }

 private:
  std::string bytes_;
  std::vector<std::uint64_t> starts_{0};
  NumberSlots slots_;
};

// The index as it is built and changed, in memory: its texts, folders and entries each
// kept once in tables of their own, so that indexing a capture looks up a short name and a
// 16-byte entry per line, and encoding it sorts numbers, not texts.
class CaptureIndex {
 public:
  const std::vector<IndexedCapture>& captures() const { return captures_; }

  // Inserts the capture read from layout at position (its place in date order), its entries
  // joined to the ranges of the same entries. False, with no capture changed, when the file
  // cannot be read or lists one entry twice (such a capture is left to be read by find).
  bool InsertCapture(std::size_t position, IndexedCapture capture, const SnapshotLayout& layout);
  void RemoveCapture(std::size_t position);

  // The bytes of the index file; empty with reason set when a limit is passed.
  std::string Encode(std::string& reason) const;
  // The index in bytes, when the file passes every check.
  bool Decode(std::string_view bytes);

  std::size_t entryCount() const;  // distinct entries in at least one capture

  // An entry: its name's text, its folder with the kind and encoding flags, and its size and
  // created date as plain values or, flagged, as texts.
  struct Row {
    std::uint32_t name = 0, folder = 0, size = 0, created = 0;
    friend bool operator==(const Row&, const Row&) = default;
  };

 private:
  std::uint32_t FolderOf(std::uint32_t parent, std::uint32_t name);
  std::uint32_t EntryOf(const Row& row);
  void AddToEntry(std::uint32_t id, std::uint32_t position);
  void RangesOf(std::uint32_t id, std::vector<CaptureRange>& out) const;
  void SetRanges(std::uint32_t id, const std::vector<CaptureRange>& ranges);
  bool Live(std::uint32_t id) const;

  std::vector<IndexedCapture> captures_;
  TextSet texts_;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> folders_;  // parent, name
  NumberSlots folderSlots_;
  std::vector<Row> rows_;
  NumberSlots rowSlots_;
  // Each entry's ranges: its one range inline, or a mark and a list of many_.
  std::vector<CaptureRange> ranges_;
  std::vector<std::vector<CaptureRange>> many_;
  std::vector<std::uint32_t> freeMany_;
  std::vector<std::uint32_t> seenIn_;  // the last insert that met the entry
  std::uint32_t inserts_ = 0;
  // The entries of the newest capture in its file's order, when it was inserted last: the
  // next night's capture lists almost the same ones in the same order, so each of its lines
  // is first compared with the entry expected there, in memory met in order, rather than
  // looked up in the tables at random.
  std::vector<std::uint32_t> newestOrder_;
  bool newestOrderKnown_ = false;
};

// A checked index, read in pages as it is used.
class IndexView {
 public:
  IndexView();
  ~IndexView();
  IndexView(IndexView&&) noexcept;
  IndexView& operator=(IndexView&&) noexcept;

  // False when the header and captures are not those of an index; bytes must outlive the
  // view. The rest is checked as it is read.
  bool Open(std::string_view bytes);
  bool Open(std::shared_ptr<InputFile> file);
  // A read failed or met bytes that no index holds: what the view gave since Open may be
  // wrong, and the caller reads the snapshots instead.
  bool broken() const { return broken_; }
  // Reads every page once, a page at a time: false when one fails its hash.
  bool CheckPages() const;

  const std::vector<IndexedCapture>& captures() const { return captures_; }
  std::uint32_t entryCount() const { return entryCount_; }
  std::uint64_t stringBytes() const { return strings_.size; }
  std::uint64_t fileBytes() const { return fileBytes_; }

  // The entries whose names pattern matches and whose kind is wanted, in index order; at most
  // limit + 1 of them.
  std::vector<std::uint32_t> Matching(const SnapshotPattern& pattern, EntryKinds kinds,
                                      CodePageDecoder& decoder,
                                      std::size_t limit = std::numeric_limits<std::size_t>::max() -
                                                          1) const;
  IndexedEntry Entry(std::uint32_t id) const;
  std::vector<CaptureRange> Ranges(std::uint32_t id) const;

  // Whole sections, for the update that holds the index in memory.
  struct Section {
    std::uint64_t at = 0, size = 0;
  };
  bool ReadSection(const Section& section, std::string& out) const;
  Section strings() const { return strings_; }
  Section folders() const { return folders_; }
  Section entries() const { return entries_; }
  Section ranges() const { return ranges_; }
  std::uint32_t folderCount() const { return folderCount_; }

 private:
  struct Pages;
  bool Read(std::uint64_t at, std::size_t size, char* out) const;
  std::uint32_t Word(const Section& section, std::uint64_t at) const;
  bool Fail() const;
  std::string StringAt(std::uint32_t offset) const;
  std::string TextOf(std::uint32_t field, bool packedDate) const;
  bool BlocksOfGrams(std::string_view literal, std::vector<std::uint32_t>& blocks) const;
  bool OpenPages();

  std::unique_ptr<Pages> pages_;
  mutable bool broken_ = false;
  Section strings_, blockStarts_, blockEntries_, folders_, entries_, rangeStarts_, ranges_, grams_,
      postings_;
  std::vector<IndexedCapture> captures_;
  std::uint32_t entryCount_ = 0, blockCount_ = 0, folderCount_ = 0, gramCount_ = 0;
  std::uint64_t fileBytes_ = 0;
};

// The bytes of an index with its hashes set anew, for the fuzzer that reaches past them.
std::string ResealedIndex(std::string bytes);

}  // namespace mv
