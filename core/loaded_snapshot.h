// The loaded snapshot: one snapshot file held whole in memory and cut into lines in place,
// with its header, its share name table and the path index that remembers where shares and
// listed directories lie. Parsing only; ui/snapshot_browser.h puts it on screen.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/snapshot_format.h"
#include "platform/file_system.h"

namespace mv {

// Files beyond the reader's limits (core/snapshot_format.h: kMaxLines, kMaxSharesRead) are
// refused as corrupted as a whole, never shown in part.
inline constexpr int kMaxSnapshotLines = static_cast<int>(kMaxLines);
inline constexpr int kMaxLoadedShares = static_cast<int>(kMaxSharesRead);
inline constexpr int kPathIndexSlots = 64;
// The longest line the writer produces is an entry line of its design length plus CR LF, so
// no complete snapshot is larger than this (about 513 MiB). A larger file is refused before
// anything is allocated for it.
inline constexpr std::uint64_t kMaxSnapshotBytes =
    kMaxLines * (kDesignEntryLineLength + kLineEnd.size());

// The header and the counts of the loaded snapshot. Values are kept whole: they end up in
// live UNC paths and in the properties dialog, where a cut value would be wrong.
struct SnapshotInfo {
  std::string path;      // the file as given to Load; empty unless the file was accepted
  std::string computer;  // COMPUTER value
  std::string created;   // DATE CREATED value: "dd.MM.yyyy HH:mm:ss" as written
  std::string version;   // VERSION value
  std::string group;     // GROUP value
  std::int32_t directoryCount = 0;
  std::int32_t fileCount = 0;
};

// One slot of the path index: the lines of a share's whole section (without its header
// line), or of a directory's own entry block. lastLine = firstLine - 1 for an empty range.
struct PathRange {
  bool inUse = false;
  std::string path;  // share-relative, ending in one backslash: "Docs\", "Docs\Sub\Deep\"
  int firstLine = -1;
  int lastLine = -1;
};

// Where a location's rows are: the lines firstLine..lastLine, each to be read after its first
// nameOffset characters (the directory path with its backslash; 0 in a share's root).
struct PathLocation {
  int nameOffset = -1;
  int firstLine = -1;
  int lastLine = -1;
};

enum class LoadResult {
  kAccepted,
  kCannotOpen,     // missing, held by a writer, no permission: nothing changed; or no room
                   // for the file even after the snapshot held was let go
  kTooLarge,       // larger than kMaxSnapshotBytes: nothing changed, nothing allocated
  kNotASnapshot,   // no magic line, or a header value missing or empty
  kTooManyLines,   // more than kMaxSnapshotLines lines
  kTooManyShares,  // more than kMaxLoadedShares share sections
  kNoShares,       // no share header line
};

// A short reason for messages and logs: "the file cannot be opened", ...
const char* DescribeLoadResult(LoadResult result);

// One line: where it starts in the text buffer and how long it is. A NUL byte inside a line
// ends its text there, as it would for a C string.
struct LineRef {
  std::uint32_t offset = 0;
  std::uint32_t length = 0;
};

// Cuts text into its non-empty lines at CR and LF, without changing it. Returns the line
// count, or -1 when there are more than maxLines (lines then holds the first maxLines).
int SplitLines(std::string_view text, std::vector<LineRef>& lines, int maxLines);

class LoadedSnapshot {
 public:
  // Reads the file through fs (exclusively, whole) and replaces what was loaded. When the
  // file cannot be read (kCannotOpen, kTooLarge) nothing changes, except that a snapshot held
  // is let go when the new file finds no room beside it. When it is read but refused, what
  // stays is an empty snapshot: no shares, no ranges, and only the header values that were
  // found. Nothing holds the file once this returns.
  LoadResult Load(FileSystem& fs, const std::string& path);

  const SnapshotInfo& info() const { return info_; }
  const std::vector<std::string>& shareNames() const { return shareNames_; }
  int shareCount() const { return static_cast<int>(shareNames_.size()); }
  int lineCount() const { return static_cast<int>(lines_.size()); }
  // The text of line index (0 .. lineCount() - 1).
  std::string_view Line(int index) const {
    const LineRef& ref = lines_[static_cast<std::size_t>(index)];
    return text_.substr(ref.offset, ref.length);
  }
  const std::array<PathRange, kPathIndexSlots>& pathIndex() const { return pathIndex_; }

  // Enters a range under path (a backslash is appended unless it ends with one). A path that
  // is there already (ignoring case), or a full index, leaves the index as it is.
  void AddPathRange(std::string_view path, int firstLine, int lastLine);
  // The slot in use with the longest path that is a prefix of path (ignoring case); the
  // lowest index among equally long ones; -1 if none.
  int FindLongestPrefix(std::string_view path) const;
  // Finds the lines of a share-relative location ("Docs", "Docs\Sub\"). A directory found
  // by scanning is remembered in the path index. False for a location that is not there, a
  // directory without content and a share whose section was never closed.
  bool FindPathRange(std::string_view path, PathLocation& location);

 private:
  void Clear();
  // Drops the text and the line table with their memory.
  void ReleaseText();
  void ReadHeader();
  // Share table and share ranges from the share header and end lines (line indexes, in
  // order); false when there are more than kMaxLoadedShares sections.
  bool ReadShareSections(const std::vector<int>& keyLines);
  // Drops text, lines, shares and ranges, keeping the header values found.
  LoadResult Refuse(LoadResult result);
  int ShareLastLine(std::string_view key) const;

  std::unique_ptr<MappedFile> contents_;
  std::string_view text_;  // the bytes of contents_
  std::vector<LineRef> lines_;
  SnapshotInfo info_;
  std::vector<std::string> shareNames_;
  std::array<PathRange, kPathIndexSlots> pathIndex_;
};

}  // namespace mv
