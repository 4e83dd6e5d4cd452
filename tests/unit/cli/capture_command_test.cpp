// mirrorvault-cli capture and take: the files they write and name, their warnings and their
// failures.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli_run.h"
#include "platform/file_system.h"
#include "scratch_computer.h"
#include "test_support.h"

namespace mv::cli {
namespace {
using test::ScratchComputer;
using test::ScratchDir;

using test::CliRun;

CliRun Capture(Args args) {
  args.insert(args.begin(), "capture");
  return test::RunCommand(args);
}

TEST(CaptureCommand, WritesTheNamedFileAndPrintsItsPathWithWarnings) {
  if (!ScratchComputer::Available()) GTEST_SKIP() << "no way to make up UNC shares here";
  ScratchComputer pc;
  ScratchDir snaps;
  pc.AddShare("Docs");
  test::WriteTextFile(pc.Join("Docs", "a.txt"), "0123456789");
  const CliRun run = Capture({"--snapshots", snaps.path(), "--group", "WG", "--computer", pc.name(),
                              "--shares", "Docs;Gone", "--unc-root", UncRoot()});
  ASSERT_EQ(run.code, kExitOk) << run.err;
  ASSERT_FALSE(run.out.empty());
  const std::string printed = run.out.substr(0, run.out.size() - 1);
  const std::string fileName = std::filesystem::path(printed).filename().string();
  EXPECT_EQ(fileName.rfind("WG." + pc.name() + ".", 0), 0u) << fileName;
  const std::string bytes = test::ReadTextFile(printed);
  EXPECT_NE(bytes.find("\r\nCOMPUTER: " + pc.name() + "\r\nGROUP: WG\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("\r\nSHARENAME: Docs\r\na.txt;;f;;10;;"), std::string::npos);
  EXPECT_NE(bytes.find("\r\nSHARENAME: Gone\r\nEND\r\n"), std::string::npos);
  EXPECT_NE(run.err.find("warning: 1 directory could not be listed"), std::string::npos);
}

TEST(CaptureCommand, MissingOrEmptyOptionsAreUsageErrors) {
  EXPECT_EQ(Capture({"--group", "G", "--computer", "C", "--shares", "S"}).code, kExitUsage);
  EXPECT_EQ(Capture({"--snapshots", "d", "--group", "", "--computer", "C", "--shares", "S"}).code,
            kExitUsage);
  const CliRun noShare =
      Capture({"--snapshots", "d", "--group", "G", "--computer", "C", "--shares", ";"});
  EXPECT_EQ(noShare.code, kExitUsage);
  EXPECT_NE(noShare.err.find("--shares names no share"), std::string::npos);
  EXPECT_EQ(Capture({"--snapshots", "d", "--bogus"}).code, kExitUsage);
  EXPECT_EQ(Capture({"stray", "--snapshots", "d"}).code, kExitUsage);
}

TEST(CaptureCommand, UnwritableSnapshotsDirectoryFailsInPlainWords) {
  ScratchDir snaps;
  const CliRun run = Capture(
      {"--snapshots", snaps.Join("missing"), "--group", "G", "--computer", "C", "--shares", "S"});
  EXPECT_EQ(run.code, kExitFailure);
  EXPECT_TRUE(run.out.empty());
  EXPECT_NE(run.err.find("could not write the snapshot"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("not found"), std::string::npos) << run.err;
}

#ifndef _WIN32
TEST(TakeCommand, ScansTheDescribedNetworkAndCapturesEveryComputer) {
  test::ScratchDir scratch;
  test::WriteTextFile(scratch.Join("network.txt"),
                      "group WORKGROUP\n computer PC1\n  share Docs\n computer PC2\n"
                      "  share Public\n");
  for (const char* folder : {"unc/PC1/Docs", "unc/PC2/Public", "snapshots"})
    std::filesystem::create_directories(scratch.Join(folder));
  test::WriteTextFile(scratch.Join("unc/PC1/Docs/a.txt"), "abc");
  const test::CliRun run =
      test::RunCommand({"take", "--snapshots", scratch.Join("snapshots"), "--network",
                        scratch.Join("network.txt"), "--unc-root", scratch.Join("unc")});
  EXPECT_EQ(run.code, kExitOk) << run.err;
  EXPECT_EQ(run.out,
            "WORKGROUP\n  PC1\n    Docs\n  PC2\n    Public\nSnapshots successfully created.\n");
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(scratch.Join("snapshots")))
    files += entry.path().filename().string().starts_with("WORKGROUP.PC");
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

#ifndef _WIN32
// A Linux file name may hold backslashes: rm removes that file of the folder, nothing above.
TEST(RemoveCommand, ANameWithBackslashesIsOneFileOfTheFolder) {
  ScratchDir scratch;
  const std::string folder = scratch.Join("a/b");
  std::filesystem::create_directories(folder);
  test::WriteTextFile(scratch.Join("victim.txt"), "v");
  const std::string name = "x.mirvaul\\..\\..\\victim.txt";
  test::WriteTextFile(folder + "/" + name, "listed");
  EXPECT_EQ(test::RunCommand({"rm", folder, name}).code, kExitOk);
  EXPECT_FALSE(test::FileExists(folder + "/" + name));
  EXPECT_TRUE(test::FileExists(scratch.Join("victim.txt")));
}

// A name that is not UTF-8 and the name it reads as are two rows, each removed by its own.
TEST(RemoveCommand, ANameThatIsNotUtf8IsARowOfItsOwnAndRemovedByWhatTheLibraryShows) {
  ScratchDir scratch;
  const std::string stamp = ".05.12.2026.09.04.05.mirvaul";
  const std::string raw =
                        "WG.P\xFF"
                        "C" +
                        stamp,
                    plain = "WG.P?C" + stamp;
  for (const std::string& name : {raw, plain}) test::WriteTextFile(scratch.Join(name), name);
  const test::CliRun library = test::RunCommand({"library", scratch.path()});
  std::vector<std::string> shown;
  for (std::size_t tab = library.out.find('\t'); tab != std::string::npos;
       tab = library.out.find('\t', tab + 1)) {
    shown.push_back(library.out.substr(tab + 1, library.out.find('\n', tab) - tab - 1));
  }
  ASSERT_EQ(shown.size(), 2u) << library.out;
  EXPECT_NE(shown[0], shown[1]);
  const std::string& plainShown = shown[0] == plain ? shown[0] : shown[1];
  EXPECT_EQ(plainShown, plain);
  EXPECT_EQ(
      test::RunCommand({"rm", scratch.path(), &plainShown == &shown[0] ? shown[1] : shown[0]}).code,
      kExitOk);
  EXPECT_FALSE(test::FileExists(scratch.Join(raw)));
  EXPECT_TRUE(test::FileExists(scratch.Join(plain)));
  EXPECT_EQ(test::RunCommand({"rm", scratch.path(), plain}).code, kExitOk);
  EXPECT_FALSE(test::FileExists(scratch.Join(plain)));
}
#endif

}  // namespace
}  // namespace mv::cli
