// A snapshot read in pieces, never whole: one pass learns its header and where its share
// sections lie, accepted or refused by the same rules as the loader; later passes read the
// sections' entry lines again, a piece at a time. Find, diff and export read snapshots
// through it, so each holds a few pieces of a file however large the file is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/loaded_snapshot.h"
#include "platform/file_system.h"

namespace mv {

struct ShareSection {
  std::string name;
  // The bytes of the section's entry lines in the file: from the line after its header line
  // to the share header or end line that closes it. Empty for a section that nothing closes:
  // such a share has no entries to read.
  std::uint64_t begin = 0, end = 0;
};

// How the lines of a text end, learnt once so that each line costs one search.
struct LineShape {
  bool hasNul = false;         // a NUL byte may end a line's text early
  bool crOnlyBeforeLf = true;  // every CR is followed by LF: a line then ends at its LF
};
LineShape ShapeOfLines(std::string_view text);

struct SnapshotLayout {
  std::string version, computer, group, created;  // header values, as the loader takes them
  NameEncoding encoding = NameEncoding::kAnsi;
  std::vector<ShareSection> shares;  // in file order
  std::uint64_t lineCount = 0;       // non-empty lines of the whole file
  // The file, open while a layout holds it, so that every pass reads the bytes the first
  // one read.
  std::shared_ptr<InputFile> file;
};

// Reads the header and the share sections of file in one pass, in pieces. kAccepted, or the
// loader's reason for refusing the file (kTooLarge for a line longer than kMaxLineBytes);
// kCannotOpen when a read fails.
LoadResult ScanSnapshot(std::shared_ptr<InputFile> file, SnapshotLayout& layout);
// The same over text in memory, which must outlive the layout.
LoadResult ScanSnapshot(std::string_view text, SnapshotLayout& layout);

// Opens the file at path and scans it. False, with the reason ("cannot be read: not found",
// "is corrupted: ..."), when it cannot be read or is refused.
bool ReadSnapshotLayout(FileSystem& fileSystem, const std::string& path, SnapshotLayout& layout,
                        std::string& reason);

// Reads bytes [begin, end) of file, where begin is the start of a line and end the start of
// a line or the end of the file, and calls visit with them in order in stretches of whole
// lines (each but the last ends with a line break) of about kReadPieceBytes, with the offset
// of the byte after each (a line start, where a later read may go on), until it returns
// false. A line's bytes after kMaxLineBytes + 1 are left out: a NUL ends its text before
// that in any file a scan accepts. False when a read fails.
bool ForEachLineStretch(
    InputFile& file, std::uint64_t begin, std::uint64_t end,
    const std::function<bool(std::string_view lines, std::uint64_t after)>& visit);

// The bytes of the lines of [sectionBegin, sectionEnd) that begin in [first, last), from the
// first such line's start to the last one's end, into out; for workers that each take one
// stretch of a section. False when a read fails.
bool ReadLinesBeginningIn(InputFile& file, std::uint64_t sectionBegin, std::uint64_t sectionEnd,
                          std::uint64_t first, std::uint64_t last, std::string& out);

// The non-empty lines of a piece of snapshot text: runs of bytes other than CR and LF, each
// line's text ending at a NUL inside it. shape is that of the text the piece comes from.
class LineCursor {
 public:
  LineCursor(std::string_view text, LineShape shape) : text_(text), shape_(shape) {}
  bool Next(std::string_view& line);
  // Where the last line returned starts, and where the text after it begins.
  std::size_t lineStart() const { return lineStart_; }
  std::size_t position() const { return position_; }

 private:
  std::string_view text_;
  LineShape shape_;
  std::size_t position_ = 0;
  std::size_t lineStart_ = 0;
  // The first CR and the first LF at or after where each was last sought. Either stays valid
  // until the cursor passes it, so a file without CR is not searched again at every line.
  std::size_t nextCr_ = 0;
  std::size_t nextLf_ = 0;
  bool sought_ = false;
};

// The end of the line that holds position pos (the first CR or LF at or after it).
std::size_t LineEndAt(std::string_view text, std::size_t pos);
// The start of the line that holds position pos (just after the last CR or LF before it).
std::size_t LineStartAt(std::string_view text, std::size_t pos);

// One entry line taken apart.
struct SnapshotEntry {
  std::string_view path;       // share-relative, with the name: "Sub\Deep\c.txt"
  std::string_view directory;  // the directory part of path: "Sub\Deep", empty in the root
  std::string_view name;       // "c.txt"
  bool isDirectory = false;
  std::string_view size;     // as written
  std::string_view created;  // month.day.year as written
};

// Reads an entry line with the one entry-line parser; false for a line whose kind is neither
// "f" nor "d" (ignoring case), which no listing shows.
bool ReadEntry(std::string_view line, SnapshotEntry& entry);

// Calls visit(line, entry) for every entry line of lines (a section's entries, or a stretch
// of them cut between lines), in order.
template <typename Visit>
void ForEachEntryIn(std::string_view lines, LineShape shape, Visit&& visit) {
  LineCursor cursor(lines, shape);
  std::string_view line;
  SnapshotEntry entry;
  while (cursor.Next(line)) {
    if (ReadEntry(line, entry)) visit(line, entry);
  }
}

// Calls visit(share, entry) for every entry of every share section, in file order, the
// sections read in pieces. False when a read fails.
template <typename Visit>
bool ForEachEntry(const SnapshotLayout& layout, Visit&& visit) {
  for (const ShareSection& share : layout.shares) {
    const bool read = ForEachLineStretch(
        *layout.file, share.begin, share.end, [&](std::string_view lines, std::uint64_t) {
          ForEachEntryIn(
              lines, ShapeOfLines(lines),
              [&](std::string_view, const SnapshotEntry& entry) { visit(share, entry); });
          return true;
        });
    if (!read) return false;
  }
  return true;
}

// Appends the live path of an entry: \\COMPUTER\share\path (path empty: the share itself).
void AppendLivePath(std::string& out, std::string_view computer, std::string_view share,
                    std::string_view path);

}  // namespace mv
