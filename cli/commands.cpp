// The command table of mirrorvault-cli: one line per subcommand.
#include "cli/cli.h"

namespace mv::cli {

const Command kCommands[] = {
    {nullptr, nullptr, nullptr, nullptr},
};

}  // namespace mv::cli
