// Comparing two captures: entries added, removed and changed (size or created date), by
// share and share-relative path ignoring case, with shares added or removed as a whole
// reported once. Each file is read in pieces; the entries are sorted within a bounded
// amount of memory, in runs spilt to a temporary file when they do not fit, and merged, so
// two captures of any size compare in about kDiffMemoryBytes. Rows are data for any front
// end: streamed to a report, or kept by CompareSnapshotFiles.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/code_page_text.h"
#include "core/snapshot_format.h"
#include "platform/file_system.h"

namespace mv {

// In the order rows of one path are listed: a share's row first, what went before what came.
enum class DiffKind { kShareRemoved, kShareAdded, kRemoved, kAdded, kChanged };

struct DiffRow {
  DiffKind kind = DiffKind::kAdded;
  std::string_view share;
  std::string_view path;  // share-relative with the name; empty for a share row
  bool isDirectory = false;
  std::string_view oldSize, oldCreated;  // removed and changed entries, as written
  std::string_view newSize, newCreated;  // added and changed entries, as written
};

struct DiffSummary {
  // Entries, those of shares added or removed as a whole included.
  std::uint64_t added = 0, removed = 0, changed = 0;
  std::uint64_t sharesAdded = 0, sharesRemoved = 0;
  // File sizes gone and come, a changed size counting its difference.
  std::uint64_t bytesAdded = 0, bytesRemoved = 0;
};

struct DiffFailure {
  std::string path;    // the file that could not be compared
  std::string reason;  // "cannot be read: not found", "is corrupted: ..."
};

// What a comparison learns, in order: Begin once both files are accepted, then every row.
class DiffReport {
 public:
  virtual ~DiffReport() = default;
  // The COMPUTER values and the encodings rows are in: UTF-8 for both when the files differ
  // in encoding (the other is decoded).
  virtual void Begin(std::string_view oldComputer, NameEncoding oldEncoding,
                     std::string_view newComputer, NameEncoding newEncoding) = 0;
  // Rows by share, then path ignoring case, a directory's content right after it; the row's
  // texts are valid during the call only.
  virtual void Row(const DiffRow& row) = 0;
};

// The memory the sorted entries of both captures may take at once; beyond it they spill in
// sorted runs to a temporary file. With the pieces being read and the merge's buffers, a
// comparison stays within about a quarter more.
inline constexpr std::size_t kDiffMemoryBytes = std::size_t{160} << 20;

struct DiffOptions {
  std::size_t memoryBytes = kDiffMemoryBytes;
  // Where the temporary file goes, through the same file-system port: a folder path. Empty:
  // the system's folder for temporary files, or else the folder of the new snapshot.
  std::string spillFolder;
};

// Reads and compares two snapshot files, each read twice in pieces (once to learn its
// shares, once for its entries) and never held open both at once. Names compare as
// CompareSnapshotFiles below says. False, with failure set, when either cannot be read or
// is refused as corrupted, or when a run cannot be spilt or read back (failure.path then
// names the temporary file); rows reported before a failure stand.
bool CompareSnapshotStreams(FileSystem& fileSystem, const std::string& oldPath,
                            const std::string& newPath, const CodePageDecoder& ansiNames,
                            const DiffOptions& options, DiffReport& report, DiffSummary& summary,
                            DiffFailure& failure);

// The rows a kept comparison holds at most, about 40 MiB with their texts in the 32-bit
// program: two captures that differ in more rows (a share of millions of entries added) keep
// the first ones in comparison order and count the rest; the summary counts every row, and
// mirrorvault-cli diff lists them all.
inline constexpr std::size_t kKeptDiffRowsLimit = 250000;

// A comparison kept, for a window that shows and sorts its rows: memory grows with the number
// of differences up to rowLimit, not with the size of the captures.
struct SnapshotComparison {
  std::string oldComputer, newComputer;
  // When one snapshot declares UTF-8 and the other does not, the other's names are decoded:
  // both encodings then read UTF-8.
  NameEncoding oldEncoding = NameEncoding::kAnsi, newEncoding = NameEncoding::kAnsi;
  // Rows ordered by share, then path ignoring case, a directory's content right after it.
  // Their texts view into texts.
  std::vector<DiffRow> rows;
  std::size_t rowLimit = kKeptDiffRowsLimit;
  std::uint64_t rowsLeftOut = 0;  // rows past rowLimit, counted but not kept
  DiffSummary summary;
  bool equal() const { return rows.empty() && rowsLeftOut == 0; }
  // Blocks of the rows' texts, none moved once written.
  std::vector<std::unique_ptr<char[]>> texts;
  std::size_t textsLeft = 0;  // room left in the last block
};

// Reads and compares two snapshot files. Names compare as they are written when both
// snapshots have one encoding; else the one in the ANSI code page is first decoded through
// ansiNames, so an old capture and a new UTF-8 one of the same names compare equal. Case is
// ignored for ASCII letters only, as everywhere in the program: Unicode case folding would
// need tables and locale choices (the Turkish dotless i) that no snapshot records. False, with
// failure set, as CompareSnapshotStreams.
bool CompareSnapshotFiles(FileSystem& fileSystem, const std::string& oldPath,
                          const std::string& newPath, const CodePageDecoder& ansiNames,
                          SnapshotComparison& comparison, DiffFailure& failure,
                          const DiffOptions& options = {});

}  // namespace mv
