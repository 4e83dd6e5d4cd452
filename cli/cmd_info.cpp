// mirrorvault-cli info: the texts of the Snapshot Properties dialog for a snapshot file.
#include <ostream>

#include "cli/args.h"
#include "cli/cli.h"
#include "cli/cli_browser.h"
#include "ui/snapshot_properties.h"

namespace mv::cli {

int RunInfo(const Args& args, std::ostream& out, std::ostream& err) {
  const ParsedArgs parsed = ParseArgs(args, {}, {});
  if (!parsed.error.empty()) return UsageError(err, parsed.error);
  if (parsed.positionals.size() != 1) return UsageError(err, "info needs exactly one SNAPSHOT");

  CliBrowser cli(err);
  if (!cli.Open(parsed.positionals[0])) return kExitCorrupted;
  for (const std::string& text :
       SnapshotPropertyTexts(cli.browser.info(), cli.browser.shareCount())) {
    out << text << '\n';
  }
  return kExitOk;
}

}  // namespace mv::cli
