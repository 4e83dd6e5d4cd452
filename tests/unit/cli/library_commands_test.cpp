// mirrorvault-cli library and rm over a real scratch directory.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli.h"
#include "test_support.h"

namespace mv::cli {
namespace {

using test::FileExists;
using test::ScratchDir;
using test::WriteTextFile;

TEST(CliLibrary, PrintsTheTreeWithFileNamesAndRemovesOnlySnapshotFiles) {
  ScratchDir dir;
  for (const char* name :
       {"WG.PC1.05.12.2026.09.04.05.mirvaul", "WG.PC1.04.12.2026.18.00.00.mirvaul", "config.ini"}) {
    WriteTextFile(dir.Join(name), "");
  }
  std::ostringstream out, err;
  ASSERT_EQ(RunCli({"library", dir.path()}, out, err), kExitOk) << err.str();
  EXPECT_EQ(out.str(),
            "WG\n"
            "  PC1\n"
            "    05.12.2026 09:04:05\tWG.PC1.05.12.2026.09.04.05.mirvaul\n"
            "    04.12.2026 18:00:00\tWG.PC1.04.12.2026.18.00.00.mirvaul\n");

  // Names ignore case; config.ini and a missing name are refused and named.
  std::ostringstream rmOut, rmErr;
  EXPECT_EQ(RunCli({"rm", dir.path(), "wg.pc1.04.12.2026.18.00.00.MIRVAUL", "config.ini",
                    "WG.PC9.01.01.2026.00.00.00.mirvaul"},
                   rmOut, rmErr),
            kExitFailure);
  EXPECT_FALSE(FileExists(dir.Join("WG.PC1.04.12.2026.18.00.00.mirvaul")));
  EXPECT_TRUE(FileExists(dir.Join("WG.PC1.05.12.2026.09.04.05.mirvaul")));
  EXPECT_TRUE(FileExists(dir.Join("config.ini")));
  EXPECT_NE(rmErr.str().find("could not remove 'config.ini'"), std::string::npos);
  EXPECT_NE(rmErr.str().find("could not remove 'WG.PC9.01.01.2026.00.00.00.mirvaul'"),
            std::string::npos);
  EXPECT_EQ(rmErr.str().find("PC1"), std::string::npos);

  std::ostringstream out2, err2;
  EXPECT_EQ(RunCli({"rm", dir.path(), "WG.PC1.05.12.2026.09.04.05.mirvaul"}, out2, err2), kExitOk);
  EXPECT_FALSE(FileExists(dir.Join("WG.PC1.05.12.2026.09.04.05.mirvaul")));
}

TEST(CliLibrary, UsageAndMissingDirectory) {
  std::ostringstream out, err;
  EXPECT_EQ(RunCli({"library"}, out, err), kExitUsage);
  EXPECT_EQ(RunCli({"rm", "dir"}, out, err), kExitUsage);
  ScratchDir dir;
  std::ostringstream out2, err2;
  EXPECT_EQ(RunCli({"library", dir.Join("missing")}, out2, err2), kExitFailure);
  EXPECT_NE(err2.str().find("cannot read the snapshots directory"), std::string::npos);
  EXPECT_EQ(out2.str(), "");
}

}  // namespace
}  // namespace mv::cli
