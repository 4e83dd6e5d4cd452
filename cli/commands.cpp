// The command table of mirrorvault-cli: one line per subcommand.
#include "cli/cli.h"

namespace mv::cli {

int RunCapture(const Args& args, std::ostream& out, std::ostream& err);

const Command kCommands[] = {
    {"capture",
     "capture --snapshots DIR --group G --computer C --shares \"S1;S2\" [--unc-root ROOT]",
     "write one computer's snapshot of the given shares; prints the file's path", RunCapture},
    {nullptr, nullptr, nullptr, nullptr},
};

}  // namespace mv::cli
