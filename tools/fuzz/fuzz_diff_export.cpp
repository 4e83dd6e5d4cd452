// Fuzz target: diff and export over two snapshots a stranger may have put in the snapshots
// folder. The input's first two bytes say where the first file ends; the rest is the two
// files. Each compared with itself is equal; both are exported in every format and style.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "platform/memory/memory_file_system.h"
#include "query/name_pattern.h"
#include "query/snapshot_diff.h"
#include "query/snapshot_export.h"

using mv::fuzz::Check;

namespace {

constexpr char kOld[] = "C:\\snapshots\\WG.PC.01.01.2026.00.00.00.mirvaul";
constexpr char kNew[] = "C:\\snapshots\\WG.PC.02.01.2026.00.00.00.mirvaul";

class CountingSink final : public mv::ByteSink {
 public:
  bool Write(std::string_view bytes) override {
    written += bytes.size();
    return true;
  }
  std::size_t written = 0;
};

void ExportAll(mv::FileSystem& files, const std::string& path) {
  mv::SnapshotLayout layout;
  std::string reason;
  if (!mv::ReadSnapshotLayout(files, path, layout, reason)) return;
  mv::CodePageDecoder decoder;
  Check(decoder.Open(mv::kDefaultCodePage));
  for (const mv::ExportFormat format : {mv::ExportFormat::kCsv, mv::ExportFormat::kEfu,
                                        mv::ExportFormat::kJsonLines, mv::ExportFormat::kHtml}) {
    CountingSink plain, safe;
    Check(mv::ExportSnapshot(layout, format, decoder, plain, 1));
    Check(mv::ExportSnapshot(layout, format, decoder, safe, 1, mv::CsvFields::kSpreadsheetSafe));
    // Apostrophes are only ever added, and only to CSV (the web page holds no CSV fields).
    Check(format == mv::ExportFormat::kCsv ? safe.written >= plain.written
                                           : safe.written == plain.written);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::size_t rest = size - 2;
  const std::size_t cut = rest == 0 ? 0 : (data[0] | (std::size_t{data[1]} << 8)) % (rest + 1);
  const char* bytes = reinterpret_cast<const char*>(data + 2);
  mv::MemoryFileSystem files([](std::string_view pattern, std::string_view name) {
    return mv::MatchesNamePattern(pattern, name);
  });
  files.files[kOld] = std::string(bytes, cut);
  files.files[kNew] = std::string(bytes + cut, rest - cut);

  mv::CodePageDecoder ansiNames;
  Check(ansiNames.Open(mv::kDefaultCodePage));
  mv::SnapshotComparison diff;
  mv::DiffFailure failure;
  if (mv::CompareSnapshotFiles(files, kOld, kNew, ansiNames, diff, failure)) {
    const mv::DiffSummary& s = diff.summary;
    Check(diff.equal() == (s.added + s.removed + s.changed + s.sharesAdded + s.sharesRemoved == 0));
    for (const char* path : {kOld, kNew}) {
      mv::SnapshotComparison same;
      Check(mv::CompareSnapshotFiles(files, path, path, ansiNames, same, failure));
      Check(same.equal());
    }
  }
  ExportAll(files, kOld);
  ExportAll(files, kNew);
  return 0;
}
