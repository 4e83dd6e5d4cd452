// Failures while writing a snapshot: after any failed create, write, close or rename no file
// that claims to be complete is left, and the caller hears of the failure.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "capture/activity_state.h"
#include "core/snapshot_format.h"
#include "core/snapshot_name.h"
#include "core/snapshot_output.h"
#include "core/snapshot_writer.h"
#include "faulty_file_system.h"
#include "platform/memory/fixed_clock.h"
#include "platform/memory/memory_file_system.h"
#include "query/name_pattern.h"

namespace mv {
namespace {

using test::FaultyFileSystem;

constexpr char kName[] = "G.PC.01.01.2026.00.00.00.mirvaul";
constexpr char kPath[] = "C:\\snaps\\G.PC.01.01.2026.00.00.00.mirvaul";

class SnapshotFaultsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetActivityState(kCapturing);
    // Large enough for the output buffer to be written several times.
    fs.AddDirectory("\\\\PC\\S");
    for (int d = 0; d < 20; ++d) {
      const std::string dir = "\\\\PC\\S\\directory-" + std::to_string(d);
      fs.AddDirectory(dir);
      for (int f = 0; f < 200; ++f) {
        fs.AddFile(dir + "\\a-fairly-long-file-name-number-" + std::to_string(f) + ".txt", 100);
      }
    }
    fs.AddDirectory("\\\\PC\\T");
  }
  void TearDown() override { SetActivityState(kIdle); }

  int Write(FileSystem& fileSystem) {
    return WriteSnapshot("G", "PC", kPath, {"S", "T"}, &report, fileSystem, clock);
  }

  MemoryFileSystem fs{MatchesNamePattern};
  FixedClock clock{LocalTime{2026, 1, 1, 0, 0, 0}};
  WriteReport report;
};

// The files of the snapshots folder, by name.
std::vector<std::string> FolderNames(const MemoryFileSystem& fs) {
  std::vector<std::string> names;
  for (const auto& [path, bytes] : fs.files) names.push_back(path.substr(path.rfind('\\') + 1));
  return names;
}

TEST_F(SnapshotFaultsTest, FailedCreateWriteCloseOrRenameKeepsTheEarlierSnapshotAndNothingElse) {
  FaultyFileSystem clean(fs);
  ASSERT_EQ(Write(clean), 1);
  ASSERT_TRUE(report.complete);
  const std::string complete = fs.files.at(kPath);
  ASSERT_GE(clean.writes, 3);

  auto expectFailed = [&](IoError error, const std::string& what) {
    EXPECT_FALSE(report.complete) << what;
    EXPECT_EQ(report.error, error) << what;
    EXPECT_EQ(FolderNames(fs), std::vector<std::string>{kName}) << what;
    EXPECT_EQ(fs.files.at(kPath), complete) << what;
  };
  for (int n = 1; n <= clean.writes; ++n) {
    FaultyFileSystem faulty(fs);
    faulty.failWrite = n;
    EXPECT_EQ(Write(faulty), 1);
    expectFailed(IoError::kDiskFull, "write " + std::to_string(n));
    EXPECT_EQ(faulty.writes, n);  // nothing is written after the failure
  }
  for (const auto& [step, error] :
       {std::pair{"close", IoError::kOther}, std::pair{"rename", IoError::kAccessDenied},
        std::pair{"create", IoError::kAccessDenied}}) {
    FaultyFileSystem faulty(fs);
    faulty.failClose = std::string_view(step) == "close";
    faulty.failReplace = std::string_view(step) == "rename";
    faulty.failCreate = std::string_view(step) == "create" ? error : IoError::kNone;
    fs.listed.clear();
    Write(faulty);
    if (std::string_view(step) == "rename") {  // finished: kept under its temporary name
      EXPECT_EQ(report.keptTemporary, TemporarySnapshotPath(kPath));
      EXPECT_EQ(fs.files.at(report.keptTemporary), complete);
      fs.files.erase(report.keptTemporary);
    }
    expectFailed(error, step);
  }
  EXPECT_TRUE(fs.listed.empty());  // nothing is walked
}

// An unfinished snapshot has only a name the library never lists; the next capture of the
// same computer removes what an interrupted one left (not another computer's).
TEST_F(SnapshotFaultsTest, UnfinishedSnapshotsNeverStandUnderASnapshotName) {
  fs.files["C:\\snaps\\G.OTHER.01.01.2026.00.00.00.mvpart"] = "another computer's";
  fs.onList = [&](const std::string&) {
    for (const std::string& name : FolderNames(fs)) {
      EXPECT_FALSE(MatchesNamePattern(kSnapshotPattern, name)) << name;
    }
  };
  FaultyFileSystem stuck(fs);
  stuck.failWrite = 2;
  stuck.failRemove = true;  // another program holds the file
  Write(stuck);
  EXPECT_EQ(FolderNames(fs), (std::vector<std::string>{"G.OTHER.01.01.2026.00.00.00.mvpart",
                                                       "G.PC.01.01.2026.00.00.00.mvpart"}));

  fs.onList = nullptr;
  const std::string later = "C:\\snaps\\G.PC.02.01.2026.00.00.00.mirvaul";
  ASSERT_EQ(WriteSnapshot("G", "PC", later, {"S"}, &report, fs, clock), 1);
  EXPECT_TRUE(report.complete);
  EXPECT_EQ(FolderNames(fs), (std::vector<std::string>{"G.OTHER.01.01.2026.00.00.00.mvpart",
                                                       "G.PC.02.01.2026.00.00.00.mirvaul"}));
}

TEST(SnapshotOutput, BufferedBytesEqualTheTextsWrittenWhateverTheirLength) {
  MemoryFileSystem fs{MatchesNamePattern};
  FaultyFileSystem files(fs);
  files.failClose = true;  // the close is seen, and its failure reported
  IoError error = IoError::kNone;
  const auto file = files.Create("out", error);
  SnapshotOutput out(*file, 16);
  std::string expected;
  for (const std::string& text : {std::string("short"), std::string(15, 'x'), std::string(40, 'y'),
                                  std::string(), std::string("tail")}) {
    WriteLine(out, text);
    expected += text + "\r\n";
  }
  EXPECT_EQ(out.Finish(), IoError::kOther);
  EXPECT_EQ(fs.files.at("out"), expected);
}

}  // namespace
}  // namespace mv
