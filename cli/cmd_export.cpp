// mirrorvault-cli export SNAPSHOT: every entry of a snapshot as CSV, EFU or JSON Lines, in
// UTF-8, on standard output or into a file.
#include <charconv>
#include <memory>
#include <ostream>

#include "cli/args.h"
#include "cli/cli.h"
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

bool ReadCodePage(const std::string& text, unsigned& codePage) {
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, codePage);
  return result.ec == std::errc() && result.ptr == end;
}

}  // namespace

int RunExport(const Args& args, std::ostream& out, std::ostream& err) {
  const ParsedArgs parsed = ParseArgs(args, {"--format", "-o", "--output", "--codepage"}, {});
  if (!parsed.error.empty()) return UsageError(err, parsed.error);
  if (parsed.positionals.size() != 1) return UsageError(err, "export needs one SNAPSHOT");
  const std::optional<ExportFormat> format =
      ExportFormatNamed(parsed.Option("--format").value_or("csv"));
  if (!format) return UsageError(err, "--format takes csv, efu, json or html");
  unsigned codePage = kDefaultCodePage;
  if (const auto text = parsed.Option("--codepage"); text && !ReadCodePage(*text, codePage)) {
    return UsageError(err, "--codepage takes a code page number");
  }
  CodePageDecoder decoder;
  if (!decoder.Open(codePage)) {
    err << "mirrorvault-cli: code page " << codePage << " is not known on this machine\n";
    return kExitUsage;
  }

  FileSystem& fileSystem = PlatformFileSystem();
  const std::string& path = parsed.positionals[0];
  SnapshotText text;
  SnapshotLayout layout;
  if (std::string reason; !ReadSnapshotLayout(fileSystem, path, text, layout, reason)) {
    err << "mirrorvault-cli: '" << path << "' " << reason << "\n";
    return kExitUsage;
  }

  const std::optional<std::string> target =
      parsed.Option("-o") ? parsed.Option("-o") : parsed.Option("--output");
  if (!target) {
    UseBinaryStandardOutput();
    StreamSink sink(out);
    if (!ExportSnapshot(layout, *format, decoder, sink) || !out.flush()) {
      err << "mirrorvault-cli: could not write the export to standard output\n";
      return kExitUsage;
    }
    return kExitOk;
  }
  IoError error = IoError::kNone;
  const std::unique_ptr<OutputFile> file = fileSystem.Create(*target, error);
  if (file != nullptr) {
    FileSink sink(*file);
    const bool written = ExportSnapshot(layout, *format, decoder, sink);
    error = written ? file->Close() : sink.error;
    // A partial export is worse than none: it looks complete to whoever opens it.
    if (error != IoError::kNone) {
      file->Close();
      fileSystem.Remove(*target);
    }
  }
  if (error != IoError::kNone) {
    err << "mirrorvault-cli: could not write '" << *target << "': " << DescribeIoError(error)
        << "\n";
    return kExitUsage;
  }
  return kExitOk;
}

}  // namespace mv::cli
