// Comparing two captures: entries added, removed and changed (size or created date), by
// share and share-relative path ignoring case, with shares added or removed as a whole
// reported once. The rows are data for any front end; they view into the two files' text,
// which the comparison keeps.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/code_page_text.h"
#include "core/snapshot_format.h"
#include "core/snapshot_text.h"
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

struct SnapshotComparison {
  SnapshotText oldText, newText;
  // When one snapshot declares UTF-8 and the other does not, the other's text in UTF-8: its
  // rows view into this, and its encoding above reads UTF-8.
  std::string decodedText;
  std::string_view oldComputer, newComputer;
  NameEncoding oldEncoding = NameEncoding::kAnsi, newEncoding = NameEncoding::kAnsi;
  // Rows ordered by share, then path ignoring case, a directory's content right after it.
  std::vector<DiffRow> rows;
  DiffSummary summary;
  bool equal() const { return rows.empty(); }
};

struct DiffFailure {
  std::string path;    // the file that could not be compared
  std::string reason;  // "cannot be read: not found", "is corrupted: ..."
};

// Reads and compares two snapshot files. Names compare as they are written when both
// snapshots have one encoding; else the one in the ANSI code page is first decoded through
// ansiNames, so an old capture and a new UTF-8 one of the same names compare equal. Case is
// ignored for ASCII letters only, as everywhere in the program: Unicode case folding would
// need tables and locale choices (the Turkish dotless i) that no snapshot records. False, with
// failure set, when either cannot be read, is refused as corrupted, or would be larger than
// a snapshot can be once decoded.
bool CompareSnapshotFiles(FileSystem& fileSystem, const std::string& oldPath,
                          const std::string& newPath, const CodePageDecoder& ansiNames,
                          SnapshotComparison& comparison, DiffFailure& failure);

}  // namespace mv
