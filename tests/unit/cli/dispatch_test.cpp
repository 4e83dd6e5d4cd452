// The subcommand dispatcher: help, unknown commands and option parsing.
#include <gtest/gtest.h>

#include "cli/args.h"
#include "cli_run.h"

namespace mv::cli {
namespace {

TEST(CliDispatch, HelpListsCommandsAndUnknownCommandIsAUsageError) {
  const test::CliRun help = test::RunCommand({"--help"});
  EXPECT_EQ(help.code, kExitOk);
  EXPECT_NE(help.out.find("Usage: mirrorvault-cli"), std::string::npos);
  const test::CliRun unknown = test::RunCommand({"frobnicate"});
  EXPECT_EQ(unknown.code, kExitUsage);
  EXPECT_NE(unknown.err.find("unknown command 'frobnicate'"), std::string::npos);
  EXPECT_EQ(test::RunCommand({}).code, kExitUsage);
}

TEST(CliArgs, ValuedOptionsFlagsAndPositionals) {
  ParsedArgs a = ParseArgs({"snap", "--sort", "size", "--desc", "Docs"}, {"--sort"}, {"--desc"});
  EXPECT_TRUE(a.error.empty());
  EXPECT_EQ(a.Option("--sort").value_or(""), "size");
  EXPECT_TRUE(a.Flag("--desc"));
  EXPECT_EQ(a.positionals, (std::vector<std::string>{"snap", "Docs"}));

  EXPECT_EQ(ParseArgs({"--sort"}, {"--sort"}, {}).error, "option --sort needs a value");
  EXPECT_EQ(ParseArgs({"--bogus"}, {}, {}).error, "unknown option --bogus");
  EXPECT_EQ(ParseArgs({"--", "--desc"}, {}, {"--desc"}).positionals,
            (std::vector<std::string>{"--desc"}));
}

}  // namespace
}  // namespace mv::cli
