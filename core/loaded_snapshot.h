// The loaded snapshot: one snapshot file read once from end to end in pieces, keeping its
// header, its share name table, where each share's section lies and where each directory's
// entry block lies (byte ranges). A listing reads just its block again from the file, and a
// search reads the file again piece by piece, through the file opened for the load, which
// the snapshot keeps open for as long as it is loaded: a snapshot removed while it is shown
// (the platform lets a reader's file be deleted), or a snapshots folder gone offline whose
// file the platform still serves, is browsed as it was loaded. Parsing only;
// ui/snapshot_browser.h puts it on screen.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/directory_blocks.h"
#include "core/line_cutter.h"
#include "core/snapshot_format.h"
#include "platform/file_system.h"

namespace mv {

// The loader keeps 48-bit offsets (core/directory_blocks.h): it takes files of up to 256 TiB.
inline constexpr std::uint64_t kMaxLoadedSnapshotBytes = kMaxIndexedBytes;

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

// Where a location's rows are: the lines that begin within the bytes [begin, end) of the
// file, each to be read after its first nameOffset characters (the directory path with its
// backslash; 0 in a share's root). begin is where its first line begins (when it has one).
struct PathLocation {
  int nameOffset = -1;
  std::int64_t begin = -1;
  std::int64_t end = -1;
};

enum class LoadResult {
  kAccepted,
  kCannotOpen,    // missing, held by a writer, no permission: nothing changed; or no room
                  // for the file even after the snapshot held was let go
  kTooLarge,      // larger than kMaxLoadedSnapshotBytes, or a line longer than kMaxLineBytes,
                  // more entries than the counts hold: nothing changed
  kNotASnapshot,  // no magic line, or a header value missing or empty
  kNoShares,      // no share header line
};

// A short reason for messages and logs: "the file cannot be opened", ...
const char* DescribeLoadResult(LoadResult result);

// One line: where it starts in the text buffer and how long it is. A NUL byte inside a line
// ends its text there, as it would for a C string.
struct LineRef {
  std::uint64_t offset = 0;
  std::uint64_t length = 0;
};

// Cuts text into its non-empty lines at CR and LF, without changing it. Returns the line
// count.
int SplitLines(std::string_view text, std::vector<LineRef>& lines);

// Each line of a piece of a file: its offset in the file and its text.
using LineVisit = std::function<bool(std::int64_t start, std::string_view text)>;

// The pieces the file is read in: a few hundred kibibytes stay in the processor's cache
// between the read and the pass over them.
inline constexpr std::size_t kReadPieceBytes = 256 * 1024;

class LoadedSnapshot {
 public:
  // Reads the file through fs (exclusively, in pieces of kReadPieceBytes) and replaces what
  // was loaded. When the file cannot be read (kCannotOpen, kTooLarge) nothing changes, except
  // that a snapshot held is let go when the new file finds no room beside it. When it is read
  // but refused, what stays is an empty snapshot: no shares, no ranges, and only the header
  // values that were found. An accepted file stays open until the next Load (a refused one
  // is closed); fs must outlive the snapshot.
  LoadResult Load(FileSystem& fs, const std::string& path);

  const SnapshotInfo& info() const { return info_; }
  const std::vector<std::string>& shareNames() const { return shareNames_; }
  int shareCount() const { return static_cast<int>(shareNames_.size()); }
  // The size of the file as it was loaded.
  std::int64_t fileSize() const { return static_cast<std::int64_t>(stamp_.size); }

  // Finds the lines of a share-relative location ("Docs", "Docs\Sub\"): a share's root
  // block, or the entry block of a directory, which starts at the first line of the share's
  // section that begins with the directory's path (ignoring case) and runs on over the lines
  // that begin with it and hold no further backslash. False for a location that is not
  // there, a directory without content and a share whose section was never closed, and
  // when the file cannot be read as it was loaded (readFailed() then says so). When two
  // sections carry one share name (ignoring case), the first is the one found. ReadPathRange
  // also gives the location's bytes, [begin, end) of the file.
  bool FindPathRange(std::string_view path, PathLocation& location) const;
  bool ReadPathRange(std::string_view path, PathLocation& location, std::string& bytes) const;

  // The total size and file count of everything below a share-relative location ("Docs",
  // "Docs\Sub\"): a share's root or a directory, learnt in the load's one pass. False for a
  // location no line lies in (an empty directory, a file, a path that is not there). A share
  // whose name holds a backslash is known by its first component only.
  bool FolderTotalOf(std::string_view path, FolderTotal& total) const;

  // Calls visit for each line that begins at an offset in [first, last], in file order, until
  // it returns false. False when the file cannot be read as it was loaded.
  bool ForEachLine(std::int64_t first, std::int64_t last, const LineVisit& visit) const;
  // The offset of the last share header line that begins at or before offset, with the
  // share's name; -1 for none.
  std::int64_t ShareHeaderBefore(std::int64_t offset, std::string_view& name) const;
  // Whether the last read of the file (a find, a read, a walk over lines) failed: the read
  // itself failed (a share gone offline, a file cut by another program), or no file is held.
  bool readFailed() const { return readFailed_; }

 private:
  void Clear();
  void ReadHeader(const std::vector<std::string>& lines);
  // Drops shares, ranges and blocks, keeping the header values found.
  LoadResult Refuse(LoadResult result);
  // The one pass over the file; kAccepted when it was read to its end.
  LoadResult ReadFile(InputFile& file);
  // A closed share section: its key ("Docs\"), its bytes after the header line up to the line
  // that closes it, where its root block ends (the first line with a backslash, or end) and
  // its number among all share header lines.
  struct ShareRange {
    std::string key;
    std::int64_t begin = -1;
    std::int64_t rootEnd = -1;
    std::int64_t end = -1;
    int section = -1;
  };
  const ShareRange* FindShare(std::string_view key) const;
  // The share whose key is the longest prefix of key (ignoring case); null for none.
  const ShareRange* FindLongestShare(std::string_view key) const;
  // The block of lines beginning in [first, last] that a plain scan finds for prefix: the
  // first line that begins with it and the lines after it that begin with it and hold no
  // further backslash. False when there is none or the file cannot be read.
  bool ScanForBlock(std::string_view prefix, std::int64_t first, std::int64_t last,
                    PathLocation& location) const;
  // Reads bytes [begin, end) of the file as loaded.
  bool ReadBytes(std::int64_t begin, std::int64_t end, std::string& bytes) const;
  // The file held since the load; null (readFailed_ set) when none is.
  InputFile* HeldFile() const;

  std::unique_ptr<InputFile> held_;  // the file loaded, open while it is
  FileStamp stamp_;
  SnapshotInfo info_;
  std::string magic_;  // the first line
  std::vector<std::string> shareNames_;
  std::vector<std::int64_t> headerOffsets_;  // of each share header line, in file order
  std::vector<ShareRange> shareRanges_;
  DirectoryBlockIndex blocks_;
  mutable bool readFailed_ = false;
  mutable std::vector<char> piece_;  // the buffer of the range reads, kept between them
};

}  // namespace mv
