// mirrorvault-cli find DIR PATTERN: every entry of the library's snapshots whose name
// matches, one line per hit: live path, <DIR> or size, created date, the snapshot's date
// text and file name, joined by TAB. With --history one line per distinct entry and
// computer, with the first and last capture that held it and how many; with --gone only
// those that the computer's newest capture lacks. Computer indexes (mirrorvault-cli index)
// answer for the snapshots they hold as they are; the others are read.
#include <ostream>

#include "cli/args.h"
#include "cli/cli.h"
#include "cli/terminal_text.h"
#include "core/library_snapshots.h"
#include "query/indexed_find.h"
#include "query/snapshot_find.h"
#include "query/snapshot_scan.h"

namespace mv::cli {
namespace {

inline constexpr std::string_view kDirectoryCell = "<DIR>";

class PrintedReport final : public FindReport {
 public:
  PrintedReport(ShownNames& names, std::ostream& out, std::ostream& err)
      : names_(names), out_(out), err_(err) {}

  void Found(const LibrarySnapshot& snapshot, std::string_view computer, NameEncoding encoding,
             const std::vector<FoundEntry>& hits) override {
    for (const FoundEntry& hit : hits) {
      line_.clear();
      path_.clear();
      AppendLivePath(path_, computer, hit.share, hit.path);
      names_.Append(line_, path_, encoding);
      line_ += '\t';
      names_.Append(line_, hit.isDirectory ? kDirectoryCell : std::string_view(hit.size), encoding);
      line_ += '\t';
      names_.Append(line_, hit.created, encoding);
      line_ += '\t';
      line_ += snapshot.dateText;
      line_ += '\t';
      AppendShown(line_, snapshot.fileName);
      line_ += '\n';
      out_ << line_;
    }
  }

  void Skipped(const LibrarySnapshot& snapshot, std::string_view reason) override {
    err_ << "mirrorvault-cli: skipped '" << VisibleText(snapshot.path) << "': " << reason << "\n";
  }

 private:
  ShownNames& names_;
  std::ostream& out_;
  std::ostream& err_;
  std::string line_, path_;
};

class PrintedHistory final : public HistoryReport {
 public:
  PrintedHistory(ShownNames& names, bool gone, std::ostream& out, std::ostream& err)
      : names_(names), gone_(gone), out_(out), err_(err) {}

  void Seen(const EntryHistory& history) override {
    const FoundEntry& hit = history.entry;
    line_.clear();
    path_.clear();
    AppendLivePath(path_, history.computer, hit.share, hit.path);
    names_.Append(line_, path_, history.encoding);
    line_ += '\t';
    names_.Append(line_, hit.isDirectory ? kDirectoryCell : std::string_view(hit.size),
                  history.encoding);
    line_ += '\t';
    names_.Append(line_, hit.created, history.encoding);
    line_ += '\t';
    if (gone_) {
      line_ += "last seen ";
      line_ += history.last->dateText;
      line_ += '\t';
    }
    line_ += EntryPresentText(history);
    line_ += '\n';
    out_ << line_;
  }

  void Skipped(const LibrarySnapshot& snapshot, std::string_view reason) override {
    err_ << "mirrorvault-cli: skipped '" << VisibleText(snapshot.path) << "': " << reason << "\n";
  }

 private:
  ShownNames& names_;
  bool gone_;
  std::ostream& out_;
  std::ostream& err_;
  std::string line_, path_;
};

}  // namespace

int RunFind(const Args& args, std::ostream& out, std::ostream& err) {
  const ParsedArgs parsed =
      ParseArgs(args, {"--computer", "--group", "--codepage"},
                {"--latest", "--dirs", "--files", "--history", "--gone", "--no-index"});
  if (!parsed.error.empty()) return UsageError(err, parsed.error);
  if (parsed.positionals.size() != 2) return UsageError(err, "find needs DIR and PATTERN");
  if (parsed.positionals[1].empty()) return UsageError(err, "find needs a non-empty PATTERN");
  if (parsed.Flag("--dirs") && parsed.Flag("--files")) {
    return UsageError(err, "--dirs and --files exclude each other");
  }
  const bool history = parsed.Flag("--history"), gone = parsed.Flag("--gone");
  if (history && gone) return UsageError(err, "--history and --gone exclude each other");
  if ((history || gone) && parsed.Flag("--latest")) {
    return UsageError(err, "--latest does not go with --history or --gone");
  }
  if ((history || gone) && parsed.Flag("--no-index")) {
    return UsageError(err, "--no-index does not go with --history or --gone");
  }
  ShownNames names;
  if (!names.Open(parsed.Option("--codepage"), err)) return kExitUsage;
  const std::string& directory = parsed.positionals[0];
  if (!CheckSnapshotDirectory(directory, err)) return kExitUsage;
  FileSystem& fileSystem = PlatformFileSystem();

  SnapshotChoice choice;
  choice.computer = parsed.Option("--computer").value_or("");
  choice.group = parsed.Option("--group").value_or("");
  choice.latestOnly = parsed.Flag("--latest");
  FindRequest request;
  request.pattern = parsed.positionals[1];
  request.kinds = parsed.Flag("--dirs")    ? EntryKinds::kDirectories
                  : parsed.Flag("--files") ? EntryKinds::kFiles
                                           : EntryKinds::kAll;
  request.ansiNames = &names.ansi();
  const std::vector<LibrarySnapshot> snapshots =
      ChooseSnapshots(ListLibrarySnapshots(fileSystem, directory), choice);
  std::size_t hits = 0;
  if (history || gone) {
    PrintedHistory report(names, gone, out, err);
    hits = FindHistories(fileSystem, directory, snapshots, request, gone, report);
  } else {
    PrintedReport report(names, out, err);
    hits = parsed.Flag("--no-index")
               ? FindInSnapshots(fileSystem, snapshots, request, report)
               : FindWithIndexes(fileSystem, directory, snapshots, request, report);
  }
  return hits > 0 ? kExitOk : kExitFailure;
}

}  // namespace mv::cli
