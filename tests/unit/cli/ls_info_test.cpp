// mirrorvault-cli ls and info over a snapshot file on disk: rows, order, texts, exit codes.
#include <gtest/gtest.h>

#include <string>

#include "cli_run.h"
#include "snapshot_texts.h"
#include "test_support.h"

namespace mv::cli {
namespace {

class LsInfoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::WriteTextFile(
        path,
        test::HeaderText() +
            test::SnapshotText({"SHARENAME: Docs", "a.txt;;f;;10;;3.15.2010", "Sub;;d;;0;;6.1.2009",
                                "Zed;;d;;0;;6.1.2009", "Sub\\b.iso;;f;;5368709120;;6.2.2009",
                                "Sub\\e.txt;;f;;7;;6.2.2009", "Sub\\Deep;;d;;0;;6.2.2009",
                                "Sub\\Deep\\c.txt;;f;;0;;6.3.2009", "Zed\\d.txt;;f;;40;;7.4.2009",
                                "SHARENAME: Music", "END"}));
  }
  int Run(const Args& args) {
    const test::CliRun run = test::RunCommand(args);
    out = run.out;
    err = run.err;
    return run.code;
  }

  test::ScratchDir dir;
  const std::string path = dir.Join("WORKGROUP.PC7.05.12.2026.09.04.05.mirvaul");
  std::string out, err;
};

TEST_F(LsInfoTest, LsListsRowsWithTheirCellsAndInfoThePropertiesTexts) {
  ASSERT_EQ(Run({"ls", path}), kExitOk);
  EXPECT_EQ(out, "Docs\t<SHARE>\t\t\nMusic\t<SHARE>\t\t\n");
  ASSERT_EQ(Run({"ls", path, "Docs"}), kExitOk);
  EXPECT_EQ(out,
            "..\t<DIR>\t\t\nSub\t<DIR>\t\t6.1.2009\nZed\t<DIR>\t\t6.1.2009\n"
            "a\ttxt\t10\t3.15.2010\n");
  ASSERT_EQ(Run({"ls", path, "Docs\\Sub\\", "--sort", "size", "--desc"}), kExitOk);
  EXPECT_EQ(out,
            "..\t<DIR>\t\t\nDeep\t<DIR>\t\t6.2.2009\nb\tiso\t5368709120\t6.2.2009\n"
            "e\ttxt\t7\t6.2.2009\n");
  const std::string bySizeDescending = out;
  ASSERT_EQ(Run({"ls", path, "docs\\sub", "--sort", "type"}), kExitOk);
  EXPECT_EQ(out, bySizeDescending);

  ASSERT_EQ(Run({"info", path}), kExitOk);
  EXPECT_EQ(out,
            "Group: WORKGROUP\nComputer: PC7\nDate Created: 05.12.2026 09:04:05\n"
            "Shares: 2\nFiles: 5\nDirectories: 3\nTotal: 8\nFile: " +
                path + "\n");
}

TEST_F(LsInfoTest, DuTotalsEveryFolderLargestFirstInEachFormat) {
  ASSERT_EQ(Run({"du", path}), kExitOk);
  EXPECT_EQ(out, "5368709177\t5\t.\n5368709177\t5\tDocs\n0\t0\tMusic\n");
  ASSERT_EQ(Run({"du", path, "docs", "--depth", "5"}), kExitOk);
  EXPECT_EQ(out,
            "5368709177\t5\tdocs\n5368709127\t3\tdocs\\Sub\n40\t1\tdocs\\Zed\n"
            "0\t1\tdocs\\Sub\\Deep\n");
  ASSERT_EQ(Run({"du", path, "Docs\\Sub", "--top", "1", "--format", "csv"}), kExitOk);
  EXPECT_EQ(out, "path,bytes,files,depth\r\nDocs\\Sub,5368709127,3,0\r\n");
  ASSERT_EQ(Run({"du", path, "Docs", "--depth", "0", "--format", "json"}), kExitOk);
  EXPECT_EQ(out, "{\"path\":\"Docs\",\"bytes\":5368709177,\"files\":5,\"depth\":0}\n");
  EXPECT_EQ(Run({"du", path, "Docs\\Nope"}), kExitFailure);
  EXPECT_EQ(Run({"du", path, "--depth", "-1"}), kExitUsage);
}

TEST_F(LsInfoTest, ReportsLocationsNotFoundAndRefusedFiles) {
  EXPECT_EQ(Run({"ls", path, "Docs\\Nope\\Deeper"}), kExitFailure);
  EXPECT_EQ(err, "Could not locate 'Nope' path.\n");
  EXPECT_EQ(out, "");

  const std::string broken = dir.Join("broken.mirvaul");
  test::WriteTextFile(broken, "Mirrorvault file\r\nVERSION: 1.0\r\n");
  EXPECT_EQ(Run({"ls", broken}), 2);
  EXPECT_EQ(err, "Could not open '" + broken + "'.\nThe file is corrupted.\n");
  EXPECT_EQ(Run({"info", dir.Join("missing.mirvaul")}), 2);
  EXPECT_EQ(err, "Could not open '" + dir.Join("missing.mirvaul") + "'.\nThe file is corrupted.\n");
  EXPECT_EQ(Run({"ls", path, "--sort", "colour"}), kExitUsage);
}

}  // namespace
}  // namespace mv::cli
