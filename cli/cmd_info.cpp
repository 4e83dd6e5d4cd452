// mirrorvault-cli info: the texts of the Snapshot Properties dialog for a snapshot file.
#include <ostream>
#include <string>
#include <utility>

#include "cli/args.h"
#include "cli/cli.h"
#include "cli/cli_browser.h"
#include "cli/terminal_text.h"
#include "ui/snapshot_properties.h"

namespace mv::cli {

int RunInfo(const Args& args, std::ostream& out, std::ostream& err) {
  const ParsedArgs parsed = ParseArgs(args, {"--codepage"}, {});
  if (!parsed.error.empty()) return UsageError(err, parsed.error);
  if (parsed.positionals.size() != 1) return UsageError(err, "info needs exactly one SNAPSHOT");
  ShownNames names;
  if (!names.Open(parsed.Option("--codepage"), err)) return kExitUsage;

  CliBrowser cli(err);
  if (!cli.Open(parsed.positionals[0])) return kExitCorrupted;
  // The header's values are snapshot text; the path is the file's own name, which the file
  // system gives in UTF-8 already.
  SnapshotInfo info = cli.browser.info();
  for (std::string* value : {&info.group, &info.computer, &info.created}) {
    std::string shown;
    names.Append(shown, *value, info.encoding);
    *value = std::move(shown);
  }
  std::string path;
  AppendShown(path, info.path);
  info.path = std::move(path);
  for (const std::string& text : SnapshotPropertyTexts(info, cli.browser.shareCount())) {
    out << text << '\n';
  }
  return kExitOk;
}

}  // namespace mv::cli
