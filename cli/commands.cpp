// The command table of mirrorvault-cli: one line per subcommand.
#include "cli/cli.h"

namespace mv::cli {

int RunLs(const Args& args, std::ostream& out, std::ostream& err);
int RunInfo(const Args& args, std::ostream& out, std::ostream& err);

const Command kCommands[] = {
    {"ls", "ls SNAPSHOT [LOCATION] [--sort name|type|size|date] [--desc]",
     "list the rows of a snapshot's share list or of a share-relative LOCATION", RunLs},
    {"info", "info SNAPSHOT", "show the Snapshot Properties texts of a snapshot file", RunInfo},
    {nullptr, nullptr, nullptr, nullptr},
};

}  // namespace mv::cli
