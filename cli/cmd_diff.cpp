// mirrorvault-cli diff OLD NEW: what changed between two captures, one line per entry added
// (+), removed (-) or changed (~, old and new values), then a summary line.
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

// "-", "+" or "~", TAB, the live path (a removed entry's in the old snapshot, else in the
// new one), TAB, <SHARE>, <DIR> or the size, TAB, the created date; old -> new when changed.
// path is scratch text for the live path.
void AppendRow(const SnapshotComparison& diff, const DiffRow& row, ShownNames& names,
               std::string& line, std::string& path) {
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

}  // namespace

int RunDiff(const Args& args, std::ostream& out, std::ostream& err) {
  const ParsedArgs parsed = ParseArgs(args, {"--codepage"}, {});
  if (!parsed.error.empty()) return UsageError(err, parsed.error);
  if (parsed.positionals.size() != 2) return UsageError(err, "diff needs OLD and NEW");
  ShownNames names;
  if (!names.Open(parsed.Option("--codepage"), err)) return kExitUsage;

  SnapshotComparison diff;
  DiffFailure failure;
  if (!CompareSnapshotFiles(PlatformFileSystem(), parsed.positionals[0], parsed.positionals[1],
                            names.ansi(), diff, failure)) {
    err << "mirrorvault-cli: '" << failure.path << "' " << failure.reason << "\n";
    return kExitUsage;
  }
  std::string text, path;
  if (!EqualsIgnoreCase(diff.oldComputer, diff.newComputer)) {
    text.append("Different computers (");
    names.Append(text, diff.oldComputer, diff.oldEncoding);
    text.append(", ");
    names.Append(text, diff.newComputer, diff.newEncoding);
    text.append("): entries compared by share-relative path\n");
  }
  for (const DiffRow& row : diff.rows) {
    AppendRow(diff, row, names, text, path);
    if (text.size() >= 1 << 16) {
      out << text;
      text.clear();
    }
  }
  const DiffSummary& s = diff.summary;
  out << text << "added " << s.added << ", removed " << s.removed << ", changed " << s.changed
      << ", shares added " << s.sharesAdded << ", shares removed " << s.sharesRemoved
      << ", bytes added " << s.bytesAdded << ", bytes removed " << s.bytesRemoved << "\n";
  return diff.equal() ? kExitOk : kExitFailure;
}

}  // namespace mv::cli
