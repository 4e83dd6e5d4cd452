// mirrorvault-cli diff OLD NEW: what changed between two captures, one line per entry added
// (+), removed (-) or changed (~, old and new values), then a summary line. Rows are written
// as the comparison finds them, so memory does not grow with their number.
#include <ostream>

#include "cli/args.h"
#include "cli/cli.h"
#include "cli/terminal_text.h"
#include "core/text.h"
#include "query/snapshot_diff.h"
#include "query/snapshot_scan.h"

namespace mv::cli {
namespace {

inline constexpr std::string_view kDirectoryCell = "<DIR>";
inline constexpr std::string_view kShareCell = "<SHARE>";

char Sign(DiffKind kind) {
  switch (kind) {
    case DiffKind::kShareAdded:
    case DiffKind::kAdded:
      return '+';
    case DiffKind::kShareRemoved:
    case DiffKind::kRemoved:
      return '-';
    case DiffKind::kChanged:
      return '~';
  }
  return '?';
}

void AppendSize(const DiffRow& row, std::string_view size, std::string& line) {
  AppendShown(line, row.isDirectory ? kDirectoryCell : size);
}

// The computers and encodings of the two snapshots.
struct Sides {
  std::string oldComputer, newComputer;
  NameEncoding oldEncoding = NameEncoding::kAnsi, newEncoding = NameEncoding::kAnsi;
};

// "-", "+" or "~", TAB, the live path (a removed entry's in the old snapshot, else in the
// new one), TAB, <SHARE>, <DIR> or the size, TAB, the created date; old -> new when changed.
// path is scratch text for the live path.
void AppendRow(const Sides& diff, const DiffRow& row, ShownNames& names, std::string& line,
               std::string& path) {
  const bool old = row.kind == DiffKind::kRemoved || row.kind == DiffKind::kShareRemoved;
  line += Sign(row.kind);
  line += '\t';
  path.clear();
  AppendLivePath(path, old ? diff.oldComputer : diff.newComputer, row.share, row.path);
  // A changed entry's path is the new snapshot's spelling.
  names.Append(line, path, old ? diff.oldEncoding : diff.newEncoding);
  line += '\t';
  if (row.path.empty()) {
    line.append(kShareCell);
  } else if (row.kind == DiffKind::kChanged) {
    AppendSize(row, row.oldSize, line);
    line.append(" -> ");
    AppendSize(row, row.newSize, line);
    line += '\t';
    AppendShown(line, row.oldCreated);
    line.append(" -> ");
    AppendShown(line, row.newCreated);
  } else {
    AppendSize(row, old ? row.oldSize : row.newSize, line);
    line += '\t';
    AppendShown(line, old ? row.oldCreated : row.newCreated);
  }
  line += '\n';
}

// Writes the rows to out as they come, a few tens of kilobytes at a time.
class PrintedRows final : public DiffReport {
 public:
  PrintedRows(std::ostream& out, ShownNames& names) : out_(out), names_(names) {}
  void Begin(std::string_view oldComputer, NameEncoding oldEncoding, std::string_view newComputer,
             NameEncoding newEncoding) override {
    sides_ = {std::string(oldComputer), std::string(newComputer), oldEncoding, newEncoding};
    if (EqualsIgnoreCase(oldComputer, newComputer)) return;
    text_.append("Different computers (");
    names_.Append(text_, oldComputer, oldEncoding);
    text_.append(", ");
    names_.Append(text_, newComputer, newEncoding);
    text_.append("): entries compared by share-relative path\n");
  }
  void Row(const DiffRow& row) override {
    ++rows;
    AppendRow(sides_, row, names_, text_, path_);
    if (text_.size() >= 1 << 16) Flush();
  }
  void Flush() {
    out_ << text_;
    text_.clear();
  }
  std::uint64_t rows = 0;

 private:
  std::ostream& out_;
  ShownNames& names_;
  Sides sides_;
  std::string text_, path_;
};

}  // namespace

int RunDiff(const Args& args, std::ostream& out, std::ostream& err) {
  const ParsedArgs parsed = ParseArgs(args, {"--codepage"}, {});
  if (!parsed.error.empty()) return UsageError(err, parsed.error);
  if (parsed.positionals.size() != 2) return UsageError(err, "diff needs OLD and NEW");
  ShownNames names;
  if (!names.Open(parsed.Option("--codepage"), err)) return kExitUsage;

  PrintedRows printed(out, names);
  DiffSummary s;
  DiffFailure failure;
  const bool compared =
      CompareSnapshotStreams(PlatformFileSystem(), parsed.positionals[0], parsed.positionals[1],
                             names.ansi(), DiffOptions{}, printed, s, failure);
  printed.Flush();
  if (!compared) {
    err << "mirrorvault-cli: '" << failure.path << "' " << failure.reason << "\n";
    return kExitUsage;
  }
  out << "added " << s.added << ", removed " << s.removed << ", changed " << s.changed
      << ", shares added " << s.sharesAdded << ", shares removed " << s.sharesRemoved
      << ", bytes added " << s.bytesAdded << ", bytes removed " << s.bytesRemoved << "\n";
  return printed.rows == 0 ? kExitOk : kExitFailure;
}

}  // namespace mv::cli
