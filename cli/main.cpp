// Entry point of mirrorvault-cli.
#include <iostream>

#include "cli/cli.h"
#include "cli/console_stream.h"
#include "cli/terminal_text.h"
#include "platform/console_text.h"
#include "platform/standard_output.h"

int main(int argc, char** argv) {
  const mv::cli::Args args = mv::ProgramArguments(argc, argv);
  mv::cli::SetTerminalOutput(mv::StandardOutputIsTerminal());
  // Commands print UTF-8; a console that takes characters gets them as characters.
  const mv::cli::ConsoleStream out(std::cout, false), err(std::cerr, true);
  return mv::cli::RunCli(args, std::cout, std::cerr);
}
