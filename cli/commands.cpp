// The command table of mirrorvault-cli: one line per subcommand.
#include "cli/cli.h"

namespace mv::cli {

int RunLibrary(const Args& args, std::ostream& out, std::ostream& err);
int RunRemove(const Args& args, std::ostream& out, std::ostream& err);

const Command kCommands[] = {
    {"library", "library DIR",
     "Shows the snapshot tree of DIR: groups, computers, capture times and file names.",
     RunLibrary},
    {"rm", "rm DIR FILE...", "Removes the named snapshot files from DIR, without asking.",
     RunRemove},
    {nullptr, nullptr, nullptr, nullptr},
};

}  // namespace mv::cli
