// mirrorvault-cli index DIR: brings every computer's capture index in DIR up to date and
// prints one line per computer: the index file, its captures, what this run added and
// dropped, distinct entries, bytes, and bytes per distinct entry beyond the texts.
#include <cstdio>
#include <ostream>

#include "cli/args.h"
#include "cli/cli.h"
#include "cli/terminal_text.h"
#include "query/indexed_find.h"

namespace mv::cli {

int RunIndex(const Args& args, std::ostream& out, std::ostream& err) {
  const ParsedArgs parsed = ParseArgs(args, {"--computer", "--group"}, {});
  if (!parsed.error.empty()) return UsageError(err, parsed.error);
  if (parsed.positionals.size() != 1) return UsageError(err, "index needs DIR");
  const std::string& directory = parsed.positionals[0];
  if (!CheckSnapshotDirectory(directory, err)) return kExitUsage;
  SnapshotChoice choice;
  choice.computer = parsed.Option("--computer").value_or("");
  choice.group = parsed.Option("--group").value_or("");
  int code = kExitOk;
  for (const IndexUpdate& update :
       UpdateIndexes(PlatformFileSystem(), directory, choice, /*checkPages=*/true)) {
    std::string line;
    AppendShown(line, update.fileName);
    line += "\t" + std::to_string(update.captures) + " captures\t+" + std::to_string(update.added) +
            " -" + std::to_string(update.dropped) + "\t" + std::to_string(update.entries) +
            " entries\t" + std::to_string(update.bytes) + " bytes";
    if (update.entries > 0 && update.stringBytes > 0) {
      char perEntry[32];
      std::snprintf(perEntry, sizeof perEntry, "%.1f",
                    static_cast<double>(update.bytes - update.stringBytes) /
                        static_cast<double>(update.entries));
      line += std::string("\t") + perEntry + " bytes/entry + texts";
    }
    out << line << "\n";
    if (update.left > 0) {
      err << "mirrorvault-cli: " << update.left << " snapshot(s) of "
          << VisibleText(update.computer)
          << " left out of the index (unreadable or refused); find reads them\n";
    }
    if (!update.failure.empty()) {
      err << "mirrorvault-cli: the index of " << VisibleText(update.computer)
          << " was not written: " << update.failure << "\n";
      code = kExitFailure;
    }
  }
  return code;
}

}  // namespace mv::cli
