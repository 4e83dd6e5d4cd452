// mirrorvault-cli export-library DIR OUT: every snapshot of the library as gzip-compressed
// JSON Lines below OUT, in group=/computer=/date= folders, for queries over a year of captures
// at once. A rerun writes only the snapshots whose files are not there yet.
#include <chrono>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "cli/args.h"
#include "cli/cli.h"
#include "cli/terminal_text.h"
#include "core/civil_date.h"
#include "core/library_snapshots.h"
#include "core/snapshot_retention.h"
#include "core/text.h"
#include "query/library_export.h"

namespace mv::cli {
namespace {

constexpr auto kProgressPause = std::chrono::seconds(2);

// "YYYY-MM-DD", a real day.
std::optional<LocalTime> ParseDay(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  int values[3] = {0, 0, 0};
  for (std::size_t at = 0, part = 0; at < text.size(); ++at) {
    if (at == 4 || at == 7) {
      ++part;
    } else if (text[at] >= '0' && text[at] <= '9') {
      values[part] = values[part] * 10 + (text[at] - '0');
    } else {
      return std::nullopt;
    }
  }
  LocalTime day;
  day.year = values[0];
  day.month = values[1];
  day.day = values[2];
  if (day.month < 1 || day.month > 12 || day.day < 1 ||
      day.day > DaysInMonth(day.year, day.month)) {
    return std::nullopt;
  }
  return day;
}

bool OnOrAfter(const LocalTime& time, const LocalTime& day) {
  return std::tie(time.year, time.month, time.day) >= std::tie(day.year, day.month, day.day);
}

std::string Folded(std::string_view text) {
  std::string folded;
  for (const char c : text) folded += AsciiLower(c);
  return folded;
}

}  // namespace

int RunExportLibrary(const Args& args, std::ostream& out, std::ostream& err) {
  const ParsedArgs parsed = ParseArgs(args, {"--since", "--codepage"}, {});
  if (!parsed.error.empty()) return UsageError(err, parsed.error);
  if (parsed.positionals.size() != 2) return UsageError(err, "export-library needs DIR and OUT");
  std::optional<LocalTime> since;
  if (const auto text = parsed.Option("--since")) {
    since = ParseDay(*text);
    if (!since) return UsageError(err, "--since takes a date YYYY-MM-DD");
  }
  ShownNames names;
  if (!names.Open(parsed.Option("--codepage"), err)) return kExitUsage;
  const std::string& directory = parsed.positionals[0];
  const std::string& outFolder = parsed.positionals[1];
  if (!CheckSnapshotDirectory(directory, err)) return kExitUsage;
  FileSystem& fileSystem = PlatformFileSystem();
  if (const IoError error = fileSystem.MakeDirectory(outFolder); error != IoError::kNone) {
    err << "mirrorvault-cli: cannot make the folder '" << VisibleText(outFolder)
        << "': " << DescribeIoError(error) << "\n";
    return kExitUsage;
  }

  std::size_t written = 0, present = 0, failed = 0;
  auto skip = [&](const LibrarySnapshot& snapshot, std::string_view reason) {
    err << "mirrorvault-cli: skipped '" << VisibleText(snapshot.path)
        << "': " << VisibleText(reason) << "\n";
    ++failed;
  };
  // A group, and a computer within its group, are one whatever the case of their letters, as
  // the tree counts them; each keeps the spelling of its newest snapshot, so that it is one
  // partition on every file system.
  std::map<std::string, std::string> groups, computers;
  std::vector<std::pair<const LibrarySnapshot*, SnapshotTags>> chosen;
  const std::vector<LibrarySnapshot> snapshots = ListLibrarySnapshots(fileSystem, directory);
  for (const LibrarySnapshot& snapshot : snapshots) {
    const std::optional<LocalTime> captured = CaptureTimeOfName(snapshot.fileName);
    if (!captured) {
      skip(snapshot, "its name holds no capture time");
      continue;
    }
    if (since && !OnOrAfter(*captured, *since)) continue;
    const std::string group = Folded(snapshot.group);
    SnapshotTags tags;
    tags.group = groups.try_emplace(group, snapshot.group).first->second;
    tags.computer =
        computers.try_emplace(group + '\n' + Folded(snapshot.computer), snapshot.computer)
            .first->second;
    tags.captured = *captured;
    chosen.emplace_back(&snapshot, std::move(tags));
  }

  auto lastReport = std::chrono::steady_clock::now();
  for (std::size_t done = 0; done < chosen.size(); ++done) {
    const auto& [snapshot, tags] = chosen[done];
    if (const auto now = std::chrono::steady_clock::now(); now - lastReport >= kProgressPause) {
      err << "mirrorvault-cli: " << done << " of " << chosen.size() << " snapshots, " << written
          << " written\n";
      lastReport = now;
    }
    std::string reason;
    switch (
        ExportLibrarySnapshot(fileSystem, outFolder, snapshot->path, tags, names.ansi(), reason)) {
      case LibraryExportResult::kWritten:
        ++written;
        break;
      case LibraryExportResult::kPresent:
        ++present;
        break;
      case LibraryExportResult::kFailed:
        skip(*snapshot, reason);
        break;
    }
  }
  out << written << " written, " << present << " already there, " << failed << " skipped\n";
  return failed == 0 ? kExitOk : kExitFailure;
}

}  // namespace mv::cli
