// An export into a file, as the command line and the window both write one: whole or not at
// all, never over the snapshot itself, stoppable and telling how far it has come.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/file_system.h"
#include "query/snapshot_export.h"

namespace mv {

// Writes what produce gives into target whole or not at all: into a temporary file beside
// it ("<target>.<32 hex digits>.partial"), renamed to target once every byte is down. A
// reader of target meanwhile sees the old file whole, and a failure leaves the old file (or
// none) and nothing else behind.
IoError WriteWholeFile(FileSystem& fileSystem, const std::string& target,
                       const std::function<bool(ByteSink&)>& produce);

struct ExportFileRequest {
  ExportFormat format = ExportFormat::kCsv;
  CsvFields csvFields = CsvFields::kAsTheyAre;
  unsigned threads = 0;  // formatting workers; 0: one per processor
  // Set by another thread to give up: the export then stops at its next write and leaves
  // nothing behind.
  const std::atomic<bool>* stop = nullptr;
  // Called on the exporting thread with the bytes written so far, after each write.
  std::function<void(std::uint64_t written)> progress;
};

enum class ExportFileResult { kWritten, kStopped, kFailed };

// Exports an accepted snapshot into target. kFailed sets error (the write or the rename
// failed); kStopped when request.stop was set first.
ExportFileResult ExportSnapshotToFile(FileSystem& fileSystem, const SnapshotLayout& layout,
                                      const CodePageDecoder& decoder, const std::string& target,
                                      const ExportFileRequest& request, IoError& error);

}  // namespace mv
