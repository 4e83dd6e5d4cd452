// The loaded snapshot: one snapshot file held whole in memory and cut into lines in place,
// with its header, its share name table, where each share's section lies and where each
// directory's entry block starts. Parsing only; ui/snapshot_browser.h puts it on screen.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/directory_blocks.h"
#include "core/snapshot_format.h"
#include "platform/file_system.h"

namespace mv {

// A line is found by its 32-bit offset into the file, so the loader takes files of up to
// 4 GiB - 1 bytes (about 50 million entries of a usual length); a larger file is refused as
// too large before anything is allocated for it. The number of lines and of shares is not
// bounded otherwise.
inline constexpr std::uint64_t kMaxSnapshotBytes = 0xFFFFFFFFu;

// The header and the counts of the loaded snapshot. Values are kept whole: they end up in
// live UNC paths and in the properties dialog, where a cut value would be wrong.
struct SnapshotInfo {
  std::string path;      // the file as given to Load; empty unless the file was accepted
  std::string computer;  // COMPUTER value
  std::string created;   // DATE CREATED value: "dd.MM.yyyy HH:mm:ss" as written
  std::string version;   // VERSION value
  std::string group;     // GROUP value
  NameEncoding encoding = NameEncoding::kAnsi;  // of every name and value in the file
  std::int32_t directoryCount = 0;
  std::int32_t fileCount = 0;
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
  kCannotOpen,    // missing, held by a writer, no permission: nothing changed; or no room
                  // for the file even after the snapshot held was let go
  kTooLarge,      // larger than kMaxSnapshotBytes: nothing changed, nothing allocated
  kNotASnapshot,  // no magic line, or a header value missing or empty
  kNoShares,      // no share header line
};

// A short reason for messages and logs: "the file cannot be opened", ...
const char* DescribeLoadResult(LoadResult result);

// One line: where it starts in the text buffer and how long it is. A NUL byte inside a line
// ends its text there, as it would for a C string.
struct LineRef {
  std::uint32_t offset = 0;
  std::uint32_t length = 0;
};

// Cuts text (at most kMaxSnapshotBytes) into its non-empty lines at CR and LF, without
// changing it. Returns the line count.
int SplitLines(std::string_view text, std::vector<LineRef>& lines);

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
  // Finds the lines of a share-relative location ("Docs", "Docs\Sub\"): a share's root
  // block, or the entry block of a directory, which starts at the first line of the share's
  // section that begins with the directory's path (ignoring case) and runs on over the lines
  // that begin with it and hold no further backslash. False for a location that is not
  // there, a directory without content and a share whose section was never closed. When two
  // sections carry one share name (ignoring case), the first is the one found.
  bool FindPathRange(std::string_view path, PathLocation& location) const;

 private:
  void Clear();
  // Drops the text and the line table with their memory.
  void ReleaseText();
  void ReadHeader();
  // Share table and share ranges from the share header and end lines (line indexes, in
  // order).
  void ReadShareSections(const std::vector<int>& keyLines);
  // Drops text, lines, shares and ranges, keeping the header values found.
  LoadResult Refuse(LoadResult result);
  // A closed share section: its key ("Docs\"), its lines without the header line
  // (lastLine = firstLine - 1 when empty) and its number among all share header lines.
  struct ShareRange {
    std::string key;
    int firstLine = -1;
    int lastLine = -1;
    int section = -1;
  };
  const ShareRange* FindShare(std::string_view key) const;
  // The share whose key is the longest prefix of key (ignoring case); null for none.
  const ShareRange* FindLongestShare(std::string_view key) const;
  // The first line of first..last that begins with prefix (ignoring case), -1 for none.
  int ScanForPrefix(std::string_view prefix, int first, int last) const;

  std::unique_ptr<MappedFile> contents_;
  std::string_view text_;  // the bytes of contents_
  std::vector<LineRef> lines_;
  SnapshotInfo info_;
  std::vector<std::string> shareNames_;
  std::vector<ShareRange> shareRanges_;
  DirectoryBlockIndex blocks_;
};

}  // namespace mv
