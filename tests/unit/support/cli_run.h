// The command-line tests' runner: mirrorvault-cli in process, its output kept.
#pragma once

#include <sstream>
#include <string>

#include "cli/cli.h"

namespace mv::test {

struct CliRun {
  int code = -1;
  std::string out, err;
};

inline CliRun RunCommand(const cli::Args& args) {
  std::ostringstream out, err;
  const int code = cli::RunCli(args, out, err);
  return {code, out.str(), err.str()};
}

}  // namespace mv::test
