// The command-line tests' runner (mirrorvault-cli in process, its output kept) and the text
// of a snapshot file to run it on.
#pragma once

#include <sstream>
#include <string>
#include <utility>
#include <vector>

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

// Each share's name and lines, in file order.
using SnapshotShares = std::vector<std::pair<std::string, std::vector<std::string>>>;

inline std::string SnapshotText(const std::string& computer, const SnapshotShares& shares,
                                const std::string& group = "WG") {
  std::string text = "Mirrorvault file\r\nVERSION: 1.0\r\nCOMPUTER: " + computer +
                     "\r\nGROUP: " + group + "\r\nDATE CREATED: 05.12.2026 09:04:05\r\n\r\n";
  for (const auto& [name, lines] : shares) {
    text += "SHARENAME: " + name + "\r\n";
    for (const std::string& line : lines) text += line + "\r\n";
  }
  return text + "END\r\n";
}

}  // namespace mv::test
