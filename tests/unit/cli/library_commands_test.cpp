// mirrorvault-cli's dispatcher and options, and library and rm over a scratch directory.
#include <gtest/gtest.h>

#include "cli/args.h"
#include "cli_run.h"
#include "snapshot_texts.h"
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

// history: every capture oldest first, the cache never believed over a file that changed or
// a cache that was damaged, and a folder's history only where it exists.
TEST(CliHistory, TotalsOfEveryCaptureOldestFirstWhateverTheCacheHolds) {
  test::ScratchDir dir;
  const auto write = [&](const char* name, std::initializer_list<std::string_view> lines) {
    test::WriteTextFile(dir.Join(name), test::HeaderText("PC1") + test::SnapshotText(lines));
  };
  write("WG.PC1.02.12.2026.10.00.00.mirvaul",
        {"SHARENAME: Docs", "a;;f;;5;;1.1.2020", "Sub;;d;;0;;1.1.2020", "Sub\\b;;f;;7;;1.1.2020",
         "END"});
  write("WG.PC1.01.12.2026.10.00.00.mirvaul", {"SHARENAME: Docs", "a;;f;;5;;1.1.2020", "END"});
  write("WG.PC2.01.12.2026.10.00.00.mirvaul", {"SHARENAME: Docs", "z;;f;;99;;1.1.2020", "END"});
  const std::string expected =
      "date,bytes,files,folders\r\n2026-12-01 10:00:00,5,1,0\r\n2026-12-02 10:00:00,12,2,1\r\n";
  for (int run = 0; run < 2; ++run) {  // the second run reads the cache
    const test::CliRun history = RunCommand({"history", dir.path(), "--computer", "pc1"});
    ASSERT_EQ(history.code, kExitOk) << history.err;
    EXPECT_EQ(history.out, expected);
  }
  EXPECT_TRUE(FileExists(dir.Join("mirrorvault-totals.cache")));
  write("WG.PC1.01.12.2026.10.00.00.mirvaul",
        {"SHARENAME: Docs", "a;;f;;5;;1.1.2020", "c;;f;;1000;;1.1.2020", "END"});
  EXPECT_EQ(RunCommand({"history", dir.path(), "--computer", "PC1", "--format", "json"}).out,
            "{\"date\":\"2026-12-01 10:00:00\",\"bytes\":1005,\"files\":2,\"folders\":0}\n"
            "{\"date\":\"2026-12-02 10:00:00\",\"bytes\":12,\"files\":2,\"folders\":1}\n");
  test::WriteTextFile(dir.Join("mirrorvault-totals.cache"),
                      "Mirrorvault totals 1\nWG.PC1.02.12.2026.10.00.00.mirvaul\t1\t2\nx\t\t\n");
  EXPECT_EQ(RunCommand({"history", dir.path(), "--computer", "PC1"}).out,
            "date,bytes,files,folders\r\n2026-12-01 10:00:00,1005,2,0\r\n"
            "2026-12-02 10:00:00,12,2,1\r\n");
  EXPECT_EQ(RunCommand({"history", dir.path(), "--computer", "PC1", "--path", "docs\\sub"}).out,
            "date,bytes,files,folders\r\n2026-12-02 10:00:00,7,1,0\r\n");
  EXPECT_EQ(RunCommand({"history", dir.path()}).code, kExitUsage);
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
