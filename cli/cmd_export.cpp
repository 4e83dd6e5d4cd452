// mirrorvault-cli export SNAPSHOT: every entry of a snapshot as CSV, EFU or JSON Lines, in
// UTF-8, on standard output or into a file, which is written whole or not at all and never
// over the snapshot itself.
#include <functional>
#include <memory>
#include <ostream>
#include <random>

#include "cli/args.h"
#include "cli/cli.h"
#include "cli/terminal_text.h"
#include "platform/file_identity.h"
#include "platform/standard_output.h"
#include "query/snapshot_export.h"
#include "query/snapshot_scan.h"

namespace mv::cli {
namespace {

class StreamSink final : public ByteSink {
 public:
  explicit StreamSink(std::ostream& out) : out_(out) {}
  bool Write(std::string_view bytes) override {
    out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return out_.good();
  }

 private:
  std::ostream& out_;
};

class FileSink final : public ByteSink {
 public:
  explicit FileSink(OutputFile& file) : file_(file) {}
  bool Write(std::string_view bytes) override {
    error = file_.Write(bytes.data(), bytes.size());
    return error == IoError::kNone;
  }
  IoError error = IoError::kNone;

 private:
  OutputFile& file_;
};

// A name beside target, in its folder, that no other export picks at the same time.
std::string TemporaryNameFor(const std::string& target) {
  std::random_device random;
  static constexpr char kHex[] = "0123456789abcdef";
  std::string name = target + ".";
  for (int i = 0; i < 4; ++i) {
    const unsigned bits = random();
    for (int shift = 0; shift < 32; shift += 4) name += kHex[(bits >> shift) & 0xF];
  }
  return name + ".partial";
}

// Writes what produce gives into target whole or not at all: into a temporary file beside
// it, renamed to target once every byte is down. A reader of target meanwhile sees the old
// file whole, and a failure leaves the old file (or none) and nothing else behind.
IoError WriteWholeFile(FileSystem& fileSystem, const std::string& target,
                       const std::function<bool(ByteSink&)>& produce) {
  const std::string temporary = TemporaryNameFor(target);
  IoError error = IoError::kNone;
  const std::unique_ptr<OutputFile> file = fileSystem.Create(temporary, error);
  if (file == nullptr) return error;
  FileSink sink(*file);
  const bool written = produce(sink);
  error = written ? file->Close() : sink.error;
  if (error == IoError::kNone) error = fileSystem.Replace(temporary, target);
  if (error != IoError::kNone) {
    file->Close();
    fileSystem.Remove(temporary);
  }
  return error;
}

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
  SnapshotText text;
  SnapshotLayout layout;
  if (std::string reason; !ReadSnapshotLayout(fileSystem, path, text, layout, reason)) {
    err << "mirrorvault-cli: '" << path << "' " << reason << "\n";
    return kExitUsage;
  }
  const auto produce = [&](ByteSink& sink) {
    return ExportSnapshot(layout, *format, names.ansi(), sink, 0, csvFields);
  };

  if (!target) {
    UseBinaryStandardOutput();
    StreamSink sink(out);
    if (!produce(sink) || !out.flush()) {
      err << "mirrorvault-cli: could not write the export to standard output\n";
      return kExitUsage;
    }
    return kExitOk;
  }
  if (const IoError error = WriteWholeFile(fileSystem, *target, produce); error != IoError::kNone) {
    err << "mirrorvault-cli: could not write '" << *target << "': " << DescribeIoError(error)
        << "; nothing was written\n";
    return kExitUsage;
  }
  return kExitOk;
}

}  // namespace mv::cli
