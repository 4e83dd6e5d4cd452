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
// index does not name, is searched by reading it. The file carries a hash of its bytes and
// every offset and count in it is checked before use; an index that fails a check is not
// used at all, and one larger than kMaxIndexBytes is not read.
//
// Layout (little-endian), after the magic and the hash of the rest:
//   counts and section sizes;
//   captures: file name, COMPUTER value, encoding, stamp;
//   strings: every distinct text (names, path components, share names, sizes and dates that
//     are not plain numbers), each ending in NUL, in the order the captures first listed
//     them (a folder's names together), cut into blocks of kNamesPerBlock;
//   block starts: where each block of strings begins;
//   folders: (parent folder or share root, name) for every folder path, parents first;
//   entries: 16 bytes each (name, folder and flags, size, created), in the order of their
//     names' strings, so that a name's entries lie together;
//   range starts, one per kEntriesPerRangeStart entries, and the ranges as varints;
//   grams: every 3-byte lower-case gram of the strings with the list of blocks that hold it
//     (delta varints). A search takes the blocks that hold every gram of its pattern's plain
//     run and matches only their strings with the real matcher.
#pragma once

#include <cstddef>
#include <cstdint>
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
// An index file larger than this is neither written nor read: find then reads the
// snapshots. A search holds one computer's index whole, so in the 32-bit program the bound
// keeps a search within 64 MiB.
inline constexpr std::uint64_t kMaxIndexBytes = sizeof(void*) >= 8 ? 512ull << 20 : 48ull << 20;
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

// Distinct texts, each kept once and numbered in the order first added: an open-addressed
// table over one buffer, since indexing a capture looks up every one of its entries.
class TextSet {
 public:
  static constexpr std::uint32_t kAbsent = 0xFFFFFFFFu;
  // The number of text, added when new; added tells which.
  std::uint32_t Add(std::string_view text, bool* added = nullptr);
  std::uint32_t Find(std::string_view text) const;
  std::string_view operator[](std::uint32_t number) const {
    return std::string_view(bytes_).substr(
        static_cast<std::size_t>(starts_[number]),
        static_cast<std::size_t>(starts_[number + 1] - starts_[number]));
  }
  std::uint32_t size() const { return static_cast<std::uint32_t>(starts_.size() - 1); }

 private:
  std::size_t SlotOf(std::string_view text, std::uint64_t hash) const;
  std::string bytes_;
  std::vector<std::uint64_t> starts_{0};
  std::vector<std::uint32_t> slots_;  // number + 1; 0: free
  std::vector<std::uint64_t> hashes_;
};

// The index as it is built and changed, in memory.
class CaptureIndex {
 public:
  const std::vector<IndexedCapture>& captures() const { return captures_; }

  // Inserts the capture read from layout at position (its place in date order), its entries
  // joined to the ranges of the same entries. False, with nothing changed, when the file
  // cannot be read or lists one entry twice (such a capture is left to be read by find).
  bool InsertCapture(std::size_t position, IndexedCapture capture, const SnapshotLayout& layout);
  void RemoveCapture(std::size_t position);

  // The bytes of the index file; empty with reason set when a limit is passed.
  std::string Encode(std::string& reason) const;
  // The index in bytes, when the file passes every check.
  bool Decode(std::string_view bytes);

  std::size_t entryCount() const;  // distinct entries in at least one capture

 private:
  std::uint32_t IdOf(std::string_view key);
  void AddToEntry(std::uint32_t id, std::uint32_t position);

  std::vector<IndexedCapture> captures_;
  TextSet keys_;  // entry keys, numbered by entry
  std::vector<std::vector<CaptureRange>> ranges_;
};

// A checked index file, read in place.
class IndexView {
 public:
  // False when bytes are not a whole, undamaged index; bytes must outlive the view.
  bool Open(std::string_view bytes);

  const std::vector<IndexedCapture>& captures() const { return captures_; }
  std::uint32_t entryCount() const { return entryCount_; }
  std::size_t stringBytes() const { return strings_.size(); }

  // The entries whose names pattern matches and whose kind is wanted, in index order.
  std::vector<std::uint32_t> Matching(const SnapshotPattern& pattern, EntryKinds kinds,
                                      CodePageDecoder& decoder) const;
  IndexedEntry Entry(std::uint32_t id) const;
  std::vector<CaptureRange> Ranges(std::uint32_t id) const;

 private:
  std::string_view StringAt(std::uint32_t offset) const;
  std::string TextOf(std::uint32_t field, bool packedDate) const;
  bool DecodeRanges(std::uint32_t id, std::vector<CaptureRange>* out) const;
  bool BlocksOfGrams(std::string_view literal, std::vector<std::uint32_t>& blocks) const;

  std::string_view strings_, blockStarts_, folders_, entries_, rangeStarts_, ranges_, grams_,
      postings_;
  std::vector<IndexedCapture> captures_;
  std::uint32_t entryCount_ = 0, blockCount_ = 0, folderCount_ = 0, gramCount_ = 0;
};

}  // namespace mv
