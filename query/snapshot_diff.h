// Comparing two captures: entries added, removed and changed (size or created date), by
// share and share-relative path ignoring case, with shares added or removed as a whole
// reported once. The rows are data for any front end; they view into the two files' text,
// which the comparison keeps.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

// Reads and compares two snapshot files. False, with failure set, when either cannot be
// read or is refused as corrupted.
bool CompareSnapshotFiles(FileSystem& fileSystem, const std::string& oldPath,
                          const std::string& newPath, SnapshotComparison& comparison,
                          DiffFailure& failure);

}  // namespace mv
