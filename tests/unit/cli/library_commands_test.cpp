// mirrorvault-cli's dispatcher and options, and library and rm over a scratch directory.
#include <gtest/gtest.h>

#include "cli/args.h"
#include "cli_run.h"
#include "test_support.h"

namespace mv::cli {
namespace {

using test::FileExists;
using test::RunCommand;

TEST(CliLibrary, PrintsTheTreeWithFileNamesAndRemovesOnlySnapshotFiles) {
  test::ScratchDir dir;
  const std::string newer = "WG.PC1.05.12.2026.09.04.05.mirvaul";
  const std::string older = "WG.PC1.04.12.2026.18.00.00.mirvaul";
  for (const std::string& name : {newer, older, std::string("config.ini")})
    test::WriteTextFile(dir.Join(name), "");
  const test::CliRun library = RunCommand({"library", dir.path()});
  ASSERT_EQ(library.code, kExitOk) << library.err;
  EXPECT_EQ(library.out, "WG\n  PC1\n    05.12.2026 09:04:05\t" + newer +
                             "\n    04.12.2026 18:00:00\t" + older + "\n");

  // Names ignore case; config.ini and a missing name are refused and named.
  const test::CliRun rm = RunCommand({"rm", dir.path(), "wg.pc1.04.12.2026.18.00.00.MIRVAUL",
                                      "config.ini", "WG.PC9.01.01.2026.00.00.00.mirvaul"});
  EXPECT_EQ(rm.code, kExitFailure);
  EXPECT_FALSE(FileExists(dir.Join(older)));
  EXPECT_TRUE(FileExists(dir.Join(newer)));
  EXPECT_TRUE(FileExists(dir.Join("config.ini")));
  EXPECT_NE(rm.err.find("could not remove 'config.ini'"), std::string::npos);
  EXPECT_NE(rm.err.find("could not remove 'WG.PC9.01.01.2026.00.00.00.mirvaul'"),
            std::string::npos);
  EXPECT_EQ(rm.err.find("PC1"), std::string::npos);
  EXPECT_EQ(RunCommand({"rm", dir.path(), newer}).code, kExitOk);
  EXPECT_FALSE(FileExists(dir.Join(newer)));

  EXPECT_EQ(RunCommand({"library"}).code, kExitUsage);
  EXPECT_EQ(RunCommand({"rm", "dir"}).code, kExitUsage);
  const test::CliRun missing = RunCommand({"library", dir.Join("missing")});
  EXPECT_EQ(missing.code, kExitFailure);
  EXPECT_NE(missing.err.find("cannot read the snapshots directory"), std::string::npos);
  EXPECT_EQ(missing.out, "");
}

TEST(CliArgs, HelpCommandsOptionsFlagsAndPositionals) {
  const test::CliRun help = test::RunCommand({"--help"});
  EXPECT_EQ(help.code, kExitOk);
  EXPECT_NE(help.out.find("Usage: mirrorvault-cli"), std::string::npos);
  const test::CliRun unknown = test::RunCommand({"frobnicate"});
  EXPECT_EQ(unknown.code, kExitUsage);
  EXPECT_NE(unknown.err.find("unknown command 'frobnicate'"), std::string::npos);
  EXPECT_EQ(test::RunCommand({}).code, kExitUsage);

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
