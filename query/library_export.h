// The whole library as files other programs query in place: each snapshot one file of JSON
// Lines, gzip-compressed, at <out>/group=G/computer=C/date=YYYY-MM-DD/capture-<time>.jsonl.gz,
// the folder layout that DuckDB, Spark and the like read as partition columns.
#pragma once

#include <string>
#include <string_view>

#include "core/code_page_text.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "query/snapshot_export.h"
#include "query/snapshot_scan.h"

namespace mv {

// A group or computer name as a partition value in a folder name: '%' and two upper-case hex
// digits for each byte that a folder name cannot hold, or that readers of partitions decode
// ('%', '=', '/', '\', ':', '"', '#', '\'', '*', '?', '{', '[', ']', '^', '<', '>', '|',
// control characters and DEL), and for a trailing dot or space, which Windows drops. The
// value follows "group=" or "computer=", so it is never a folder name of its own ("..").
std::string PartitionValue(std::string_view name);

// The snapshot's place below the output folder: "group=G", "computer=C" and "date=YYYY-MM-DD"
// folders and its file, "capture-YYYY-MM-DDTHHMMSS.jsonl.gz".
struct LibraryExportPlace {
  std::string folders[3];
  std::string fileName;
};
LibraryExportPlace PlaceOfSnapshot(std::string_view group, std::string_view computer,
                                   const LocalTime& captured);

// What every line of a snapshot's file carries besides its entry's fields.
struct SnapshotTags {
  std::string group, computer;  // as the library names them, in UTF-8
  LocalTime captured;
};

// Writes the entries of an accepted snapshot as `export --format json` does, each line with
// "group", "computer" and "captured" ("2026-12-08T09:04:05") first, gzip-compressed, into
// sink. False when the snapshot could not be read or the sink failed.
bool ExportTaggedLines(const SnapshotLayout& layout, const CodePageDecoder& ansiNames,
                       const SnapshotTags& tags, ByteSink& sink);

enum class LibraryExportResult { kWritten, kPresent, kFailed };

// Writes the snapshot's file below outFolder unless it is there already (complete: a file
// gets its name only once every byte is down), making the partition folders it needs and
// removing what an interrupted export of the same file left behind. kFailed sets reason.
LibraryExportResult ExportLibrarySnapshot(FileSystem& fileSystem, const std::string& outFolder,
                                          const std::string& snapshotPath, const SnapshotTags& tags,
                                          const CodePageDecoder& ansiNames, std::string& reason);

}  // namespace mv
