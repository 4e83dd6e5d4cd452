// Where each directory's entry block of a snapshot starts, learnt in the one pass that cuts
// the file into lines: for every share section and every path prefix ending in a backslash
// that a line begins with, the first line of the section that begins with it (ignoring case).
// That line is where a listing of the directory starts. Kept as hashes and line numbers only,
// so the index costs a few bytes per directory however long the paths are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

class DirectoryBlockIndex {
 public:
  void Clear();

  // Starts the next share section: the lines passed from now on belong to it.
  void BeginSection(int section);
  // A line of the current section, in file order, with its line number.
  void AddLine(std::string_view line, int lineNumber);

  // The first line of the section that begins with prefix (a path ending in a backslash),
  // -1 when no line of the section does. Prefixes are told apart by a hash: the line given
  // may, very rarely, begin with another prefix, so the caller checks it.
  int FirstLineOf(int section, std::string_view prefix) const;

  std::size_t prefixCount() const { return count_; }

 private:
  struct Slot {
    std::uint64_t hash = 0;  // 0: free
    std::int32_t line = -1;
  };
  void Insert(std::uint64_t hash, int lineNumber);
  void Grow();

  std::vector<Slot> slots_;  // open addressing, a power of two in size
  std::size_t count_ = 0;
  int section_ = 0;
  // The directory part (up to its last backslash) of the last line that had one: a run of
  // lines in one directory adds nothing new.
  std::string lastDirectory_;
};

}  // namespace mv
