// Where each directory's entry block of a snapshot lies, learnt in the one pass that reads
// the file: for every share section and every path prefix ending in a backslash that a line
// begins with, the byte range of the block that starts at the first line of the section that
// begins with it (ignoring case) and runs on over the lines that begin with it and hold no
// further backslash. That range is what a listing of the directory reads. Kept as hashes and
// offsets only, so the index costs the same few bytes per directory however long the paths:
// an entry is 20 bytes (64-bit hash, 48-bit offset, 48-bit length) and the table that finds it
// 4 bytes a slot at 1.33 to 2.67 slots an entry, 31 bytes a directory at most.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

// The most directory blocks one index holds (entries are numbered in 32 bits). The loader
// refuses a file with more as too large.
inline constexpr std::size_t kMaxDirectoryBlocks = 0xFFFFFFFEu;
// Offsets and lengths are kept in 48 bits: the largest file the index describes.
inline constexpr std::uint64_t kMaxIndexedBytes = (std::uint64_t{1} << 48) - 1;

// A folder's total over its whole subtree: the sizes and the number of the file lines below
// it, at any depth. Sizes that are not plain numbers count as 0; the sum stops at the largest
// 64-bit value.
struct FolderTotal {
  std::uint64_t bytes = 0;
  std::uint64_t files = 0;
};

struct DirectoryBlock {
  std::uint64_t offset = 0;  // of the block's first line
  std::uint64_t length = 0;  // up to the first line after the block
};

class DirectoryBlockIndex {
 public:
  void Clear();

  // Starts the next share section at a share header line that begins at offset `at`: the
  // blocks still open end there, and the lines passed from now on belong to the section.
  void BeginSection(int section, std::uint64_t at);
  // A line that ends the blocks still open without starting anything (the end line, the end
  // of the file).
  void EndBlocks(std::uint64_t at);
  // A line of the current section, in file order, with the offset of its first byte; a file
  // line passes its size (fileBytes, counted with isFile) for the totals of the folders above
  // it. False when the index is full (kMaxDirectoryBlocks).
  bool AddLine(std::string_view line, std::uint64_t start, std::uint64_t fileBytes = 0,
               bool isFile = false);
  // Adds each folder's total to the folders above it, once every line was passed.
  void FinishTotals();

  // The block of the section for prefix (a path ending in a backslash); false when no line
  // of the section begins with it. Prefixes are told apart by a hash: the block found may,
  // very rarely, be another prefix's, so the caller checks its first line.
  bool Find(int section, std::string_view prefix, DirectoryBlock& block) const;

  // The total of the section's folder at prefix (as for Find), or of the section's root (an
  // empty prefix); known after FinishTotals. False when no line of the section begins with
  // prefix.
  bool Total(int section, std::string_view prefix, FolderTotal& total) const;

  std::size_t prefixCount() const { return count_; }
  // Bytes held, for the benches.
  std::size_t bytesHeld() const;

 private:
  struct Entry {
    std::uint32_t hashLow = 0, hashHigh = 0;
    std::uint32_t offsetLow = 0, lengthLow = 0;
    std::uint16_t offsetHigh = 0, lengthHigh = 0;
  };
  // A block whose end is not known yet: its entry and the length of its prefix.
  struct Open {
    std::uint32_t entry = 0;
    std::size_t prefixLength = 0;
  };
  // The totals of an entry's folder, beside its entry: 16 bytes a folder. parent is the
  // number of the folder above it plus one, 0 for a folder in a section's root. (The loader
  // counts at most 2^31 - 1 file lines in all.)
  struct Weight {
    std::uint64_t bytes = 0;
    std::uint32_t files = 0;
    std::uint32_t parent = 0;
  };
  static constexpr std::size_t kPageEntries = 4096;

  Entry& At(std::uint32_t number) { return pages_[number / kPageEntries][number % kPageEntries]; }
  const Entry& At(std::uint32_t number) const {
    return pages_[number / kPageEntries][number % kPageEntries];
  }
  Weight& WeightAt(std::uint32_t number) {
    return weights_[number / kPageEntries][number % kPageEntries];
  }
  // The number of the entry of a hash; false when there is none.
  bool Lookup(std::uint64_t hash, std::uint32_t& number) const;
  // Inserts the prefix's hash unless a line began with it before; false when it was there.
  // number is the prefix's entry either way.
  bool Insert(std::uint64_t hash, std::uint64_t start, std::uint32_t& number);
  void Grow();
  void Close(const Open& open, std::uint64_t at);
  // Ends every open block except the one for a prefix of exactly keep bytes.
  void CloseAllBut(std::size_t keep, std::uint64_t at);

  // Entries in pages of a fixed size: no copy and no spare half as they grow.
  std::vector<std::unique_ptr<Entry[]>> pages_;
  std::vector<std::unique_ptr<Weight[]>> weights_;
  // By section number: the total of its root, and the first entry made in it (entries are
  // made in file order, so a section's entries follow one another).
  std::vector<FolderTotal> sectionTotals_;
  std::vector<std::uint32_t> sectionFirst_;
  std::vector<std::uint32_t> slots_;  // entry number + 1, 0 free; a power of two in size
  std::size_t count_ = 0;
  int section_ = 0;
  // The directory part (up to its last backslash) of the last line that had one: a run of
  // lines in one directory adds nothing new.
  std::string lastDirectory_;
  // The entries of lastDirectory_'s prefixes, from the top down.
  std::vector<std::uint32_t> chain_;
  std::vector<std::uint32_t> nextChain_;
  std::vector<Open> open_;
};

}  // namespace mv
