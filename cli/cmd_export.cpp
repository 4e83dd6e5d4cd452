// mirrorvault-cli export SNAPSHOT: every entry of a snapshot as CSV, EFU, JSON Lines or the web
// page, in UTF-8, on standard output or into a file, which is written whole or not at all and
// never over the snapshot itself.
#include <new>
#include <ostream>

#include "cli/args.h"
#include "cli/cli.h"
#include "cli/terminal_text.h"
#include "platform/file_identity.h"
#include "platform/standard_output.h"
#include "query/export_file.h"
#include "query/snapshot_export.h"
#include "query/snapshot_scan.h"

namespace mv::cli {
namespace {

// Standard output: the exact bytes, but to a terminal with control characters in names
// shown as ls shows them (ShownLines).
class StreamSink final : public ByteSink {
 public:
  explicit StreamSink(std::ostream& out) : out_(out) {}
  bool Write(std::string_view bytes) override {
    shown_.clear();
    lines_.Append(shown_, bytes);
    return Put();
  }
  bool Finish() {
    shown_.clear();
    lines_.Finish(shown_);
    return Put();
  }

 private:
  bool Put() {
    out_.write(shown_.data(), static_cast<std::streamsize>(shown_.size()));
    return out_.good();
  }

  std::ostream& out_;
  ShownLines lines_;
  std::string shown_;
};

}  // namespace

int RunExport(const Args& args, std::ostream& out, std::ostream& err) {
  const ParsedArgs parsed =
      ParseArgs(args, {"--format", "-o", "--output", "--codepage"}, {"--excel-safe"});
  if (!parsed.error.empty()) return UsageError(err, parsed.error);
  if (parsed.positionals.size() != 1) return UsageError(err, "export needs one SNAPSHOT");
  const std::optional<ExportFormat> format =
      ExportFormatNamed(parsed.Option("--format").value_or("csv"));
  if (!format) return UsageError(err, "--format takes csv, efu, json or html");
  const CsvFields csvFields =
      parsed.Flag("--excel-safe") ? CsvFields::kSpreadsheetSafe : CsvFields::kAsTheyAre;
  if (csvFields == CsvFields::kSpreadsheetSafe && *format != ExportFormat::kCsv) {
    return UsageError(err, "--excel-safe goes with --format csv");
  }
  ShownNames names;
  if (!names.Open(parsed.Option("--codepage"), err)) return kExitUsage;

  FileSystem& fileSystem = PlatformFileSystem();
  const std::string& path = parsed.positionals[0];
  const std::optional<std::string> target =
      parsed.Option("-o") ? parsed.Option("-o") : parsed.Option("--output");
  // By identity, not by name: another spelling, a link or a second hard link of the
  // snapshot would lose it as surely.
  if (target && IsSameFile(*target, path)) {
    err << "mirrorvault-cli: '" << *target << "' is the snapshot being exported; the export "
        << "would replace it. Name another file with -o\n";
    return kExitUsage;
  }
  SnapshotLayout layout;
  if (std::string reason; !ReadSnapshotLayout(fileSystem, path, layout, reason)) {
    err << "mirrorvault-cli: '" << path << "' " << reason << "\n";
    return kExitUsage;
  }
  if (!target) {
    UseBinaryStandardOutput();
    StreamSink sink(out);
    bool written = false;
    try {
      written = ExportSnapshot(layout, *format, names.ansi(), sink, 0, csvFields);
    } catch (const std::bad_alloc&) {
      err << "mirrorvault-cli: not enough memory for the export of '" << path << "'\n";
      return kExitFailure;
    }
    if (!written || !sink.Finish() || !out.flush()) {
      err << "mirrorvault-cli: could not write the export to standard output\n";
      return kExitUsage;
    }
    return kExitOk;
  }
  ExportFileRequest request;
  request.format = *format;
  request.csvFields = csvFields;
  if (IoError error; ExportSnapshotToFile(fileSystem, layout, names.ansi(), *target, request,
                                          error) != ExportFileResult::kWritten) {
    err << "mirrorvault-cli: could not write '" << *target << "': " << DescribeIoError(error)
        << "; nothing was written\n";
    return kExitUsage;
  }
  return kExitOk;
}

}  // namespace mv::cli
