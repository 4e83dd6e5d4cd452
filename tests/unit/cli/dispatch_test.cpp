// The subcommand dispatcher: help, unknown commands and option parsing.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/args.h"
#include "cli/cli.h"

namespace mv::cli {
namespace {

TEST(CliDispatch, HelpListsCommandsAndUnknownCommandIsAUsageError) {
  std::ostringstream out, err;
  EXPECT_EQ(RunCli({"--help"}, out, err), kExitOk);
  EXPECT_NE(out.str().find("Usage: mirrorvault-cli"), std::string::npos);

  std::ostringstream out2, err2;
  EXPECT_EQ(RunCli({"frobnicate"}, out2, err2), kExitUsage);
  EXPECT_NE(err2.str().find("unknown command 'frobnicate'"), std::string::npos);

  std::ostringstream out3, err3;
  EXPECT_EQ(RunCli({}, out3, err3), kExitUsage);
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
