// mirrorvault-cli take: a described network scanned, shown and captured whole.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli_run.h"
#include "test_support.h"

namespace mv::cli {
namespace {

#ifndef _WIN32
TEST(TakeCommand, ScansTheDescribedNetworkAndCapturesEveryComputer) {
  test::ScratchDir scratch;
  test::WriteTextFile(scratch.Join("network.txt"),
                      "group WORKGROUP\n computer PC1\n  share Docs\n computer PC2\n"
                      "  share Public\n");
  std::filesystem::create_directories(scratch.Join("unc/PC1/Docs"));
  std::filesystem::create_directories(scratch.Join("unc/PC2/Public"));
  test::WriteTextFile(scratch.Join("unc/PC1/Docs/a.txt"), "abc");
  std::filesystem::create_directories(scratch.Join("snapshots"));
  const test::CliRun run =
      test::RunCommand({"take", "--snapshots", scratch.Join("snapshots"), "--network",
                        scratch.Join("network.txt"), "--unc-root", scratch.Join("unc")});
  EXPECT_EQ(run.code, kExitOk) << run.err;
  EXPECT_EQ(run.out,
            "WORKGROUP\n  PC1\n    Docs\n  PC2\n    Public\nSnapshots successfully created.\n");
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(scratch.Join("snapshots"))) {
    files += entry.path().filename().string().starts_with("WORKGROUP.PC");
  }
  EXPECT_EQ(files, 2);
}

TEST(TakeCommand, NoNetworkToScanIsAFailureNotASuccess) {
  test::ScratchDir snapshots;
  const test::CliRun run = test::RunCommand({"take", "--snapshots", snapshots.path()});
  EXPECT_EQ(run.code, kExitFailure);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("no network was given or found"), std::string::npos) << run.err;
  EXPECT_TRUE(std::filesystem::is_empty(snapshots.path()));
}
#endif

TEST(TakeCommand, RefusesAnUnreadableNetworkAndAMissingSnapshotsFolder) {
  EXPECT_EQ(test::RunCommand({"take", "--network", "x.txt"}).code, kExitUsage);
  test::ScratchDir scratch;
  test::WriteTextFile(scratch.Join("bad.txt"), "share Orphan\n");
  const test::CliRun run = test::RunCommand(
      {"take", "--snapshots", scratch.path(), "--network", scratch.Join("bad.txt")});
  EXPECT_EQ(run.code, kExitFailure);
  EXPECT_NE(run.err.find("line 1: a share needs a computer above it"), std::string::npos);
}

}  // namespace
}  // namespace mv::cli
