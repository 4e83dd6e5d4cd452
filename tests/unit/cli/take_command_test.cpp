// mirrorvault-cli take: a described network scanned, shown and captured whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/cli.h"
#include "platform/file_system.h"
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
  std::ostringstream out, err;
  const int code = RunCli({"take", "--snapshots", scratch.Join("snapshots"), "--network",
                           scratch.Join("network.txt"), "--unc-root", scratch.Join("unc")},
                          out, err);
  EXPECT_EQ(code, kExitOk) << err.str();
  EXPECT_EQ(out.str(),
            "WORKGROUP\n  PC1\n    Docs\n  PC2\n    Public\nSnapshots successfully created.\n");
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(scratch.Join("snapshots"))) {
    files += entry.path().filename().string().starts_with("WORKGROUP.PC");
  }
  EXPECT_EQ(files, 2);
}

TEST(TakeCommand, NoNetworkToScanIsAFailureNotASuccess) {
  test::ScratchDir snapshots;
  std::ostringstream out, err;
  EXPECT_EQ(RunCli({"take", "--snapshots", snapshots.path()}, out, err), kExitFailure);
  EXPECT_EQ(out.str(), "");
  EXPECT_NE(err.str().find("no network was given or found"), std::string::npos) << err.str();
  EXPECT_TRUE(std::filesystem::is_empty(snapshots.path()));
}
#endif

TEST(TakeCommand, RefusesAnUnreadableNetworkAndAMissingSnapshotsFolder) {
  std::ostringstream out, err;
  EXPECT_EQ(RunCli({"take", "--network", "x.txt"}, out, err), kExitUsage);
  test::ScratchDir scratch;
  test::WriteTextFile(scratch.Join("bad.txt"), "share Orphan\n");
  EXPECT_EQ(RunCli({"take", "--snapshots", scratch.path(), "--network", scratch.Join("bad.txt")},
                   out, err),
            kExitFailure);
  EXPECT_NE(err.str().find("line 1: a share needs a computer above it"), std::string::npos);
}

}  // namespace
}  // namespace mv::cli
