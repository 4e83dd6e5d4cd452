// Entry point of mirrorvault-cli.
#include <iostream>

#include "cli/cli.h"
#include "cli/terminal_text.h"
#include "platform/standard_output.h"

int main(int argc, char** argv) {
  const mv::cli::Args args(argv + 1, argv + argc);
  mv::cli::SetTerminalOutput(mv::StandardOutputIsTerminal());
  return mv::cli::RunCli(args, std::cout, std::cerr);
}
