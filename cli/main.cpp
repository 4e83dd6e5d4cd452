// Entry point of mirrorvault-cli.
#include <iostream>

#include "cli/cli.h"

int main(int argc, char** argv) {
  const mv::cli::Args args(argv + 1, argv + argc);
  return mv::cli::RunCli(args, std::cout, std::cerr);
}
