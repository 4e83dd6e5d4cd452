// mirrorvault-cli prune DIR --keep-...: removes the snapshots of DIR that a retention policy
// does not keep, computer by computer; --dry-run prints the same lines without removing.
#include <charconv>
#include <ostream>

#include "cli/args.h"
#include "cli/cli.h"
#include "cli/terminal_text.h"
#include "core/snapshot_library.h"
#include "core/snapshot_retention.h"

namespace mv::cli {
namespace {

bool ReadCount(const ParsedArgs& parsed, const char* option, int& count, std::string& error) {
  const std::optional<std::string> text = parsed.Option(option);
  if (!text) return true;
  int number = 0;
  const char* end = text->data() + text->size();
  const auto [stop, problem] = std::from_chars(text->data(), end, number);
  if (problem != std::errc() || stop != end || number < 1 || number > kMaxRetentionNumber) {
    error = std::string(option) + " needs a count from 1 to " +
            std::to_string(kMaxRetentionNumber) + ", not '" + *text + "'";
    return false;
  }
  count = number;
  return true;
}

bool ParseRetentionOptions(const ParsedArgs& parsed, RetentionPolicy& policy, std::string& error) {
  if (!ReadCount(parsed, "--keep-last", policy.keepLast, error) ||
      !ReadCount(parsed, "--keep-daily", policy.keepDaily, error) ||
      !ReadCount(parsed, "--keep-weekly", policy.keepWeekly, error) ||
      !ReadCount(parsed, "--keep-monthly", policy.keepMonthly, error)) {
    return false;
  }
  if (const std::optional<std::string> within = parsed.Option("--keep-within")) {
    RetentionSpan span;
    if (!ParseRetentionSpan(*within, span)) {
      error = "--keep-within needs a span such as 30d, 2w, 6m, 1y or 12h, not '" + *within + "'";
      return false;
    }
    policy.keepWithin = span;
  }
  return true;
}

}  // namespace

int RunPrune(const Args& args, std::ostream& out, std::ostream& err) {
  const ParsedArgs parsed = ParseArgs(args,
                                      {"--keep-last", "--keep-daily", "--keep-weekly",
                                       "--keep-monthly", "--keep-within", "--group", "--computer"},
                                      {"--dry-run"});
  if (!parsed.error.empty()) return UsageError(err, parsed.error);
  if (parsed.positionals.size() != 1) return UsageError(err, "prune needs one DIR");
  RetentionPolicy policy;
  std::string error;
  if (!ParseRetentionOptions(parsed, policy, error)) return UsageError(err, error);
  // Without a rule every snapshot but the newest would go: surely not what was meant.
  if (!policy.HasRule()) {
    return UsageError(err,
                      "prune removes nothing without a --keep-last, --keep-daily, "
                      "--keep-weekly, --keep-monthly or --keep-within option");
  }
  const std::string& directory = parsed.positionals[0];
  if (!CheckSnapshotDirectory(directory, err)) return kExitFailure;

  FileSystem& fileSystem = PlatformFileSystem();
  const PruneChoice choice{parsed.Option("--group").value_or(""),
                           parsed.Option("--computer").value_or("")};
  const std::vector<std::string> listed = ListSnapshotFiles(fileSystem, directory);
  const bool dryRun = parsed.Flag("--dry-run");
  std::size_t removed = 0;
  int failures = 0;
  // The lines go out in blocks: a library of many years prints hundreds of thousands.
  constexpr std::size_t kOutputBlock = 1 << 16;
  std::string lines;
  for (const std::size_t position : SnapshotsToPrune(listed, policy, choice)) {
    const std::string& name = listed[position];
    if (!dryRun) {
      if (const IoError failed = RemoveSnapshotFile(fileSystem, directory, name);
          failed != IoError::kNone) {
        err << "mirrorvault-cli: could not remove '" << VisibleText(name)
            << "': " << DescribeIoError(failed) << "\n";
        ++failures;
        continue;
      }
    }
    lines += dryRun ? "would remove " : "removed ";
    AppendShown(lines, name);
    lines += '\n';
    if (lines.size() >= kOutputBlock) {
      out << lines;
      lines.clear();
    }
    ++removed;
  }
  out << lines;
  out << removed << (removed == 1 ? " snapshot " : " snapshots ")
      << (dryRun ? "would be removed" : "removed") << "\n";
  return failures == 0 ? kExitOk : kExitFailure;
}

}  // namespace mv::cli
