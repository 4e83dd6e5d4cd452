// Finds the subcommand, prints the overview for --help, reports usage errors and unreadable
// snapshots directories.
#include <cstring>
#include <ostream>

#include "cli/cli.h"
#include "platform/file_system.h"

namespace mv::cli {
namespace {

void PrintOverview(std::ostream& out) {
  out << "Usage: mirrorvault-cli COMMAND [ARGUMENTS]\n\n"
         "Mirrorvault keeps offline snapshots of the shared folders of a Windows network.\n\n"
         "Commands:\n";
  for (const Command* c = kCommands; c->name != nullptr; ++c) {
    out << "  " << c->synopsis << "\n      " << c->description << "\n";
  }
  out << "\n'mirrorvault-cli COMMAND --help' shows one command's usage.\n";
}

}  // namespace

int UsageError(std::ostream& err, const std::string& message) {
  err << "mirrorvault-cli: " << message << "\nTry 'mirrorvault-cli --help'.\n";
  return kExitUsage;
}

bool CheckSnapshotDirectory(const std::string& directory, std::ostream& err) {
  DirectoryIdentity identity;
  const IoError error = PlatformFileSystem().IdentifyDirectory(directory, identity);
  if (error == IoError::kNone) return true;
  err << "mirrorvault-cli: cannot read the snapshots directory '" << directory
      << "': " << DescribeIoError(error) << "\n";
  return false;
}

int RunCli(const Args& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    PrintOverview(err);
    return kExitUsage;
  }
  const std::string& name = args[0];
  if (name == "--help" || name == "-h" || name == "help") {
    PrintOverview(out);
    return kExitOk;
  }
  for (const Command* c = kCommands; c->name != nullptr; ++c) {
    if (name != c->name) continue;
    const Args rest(args.begin() + 1, args.end());
    if (rest.size() == 1 && (rest[0] == "--help" || rest[0] == "-h")) {
      out << "Usage: mirrorvault-cli " << c->synopsis << "\n" << c->description << "\n";
      return kExitOk;
    }
    return c->run(rest, out, err);
  }
  return UsageError(err, "unknown command '" + name + "'");
}

}  // namespace mv::cli
