// Failures while writing a snapshot: after any failed create, write or close no file that
// claims to be complete is left, and the caller hears of the failure.
#include <gtest/gtest.h>

#include <string>

#include "capture/activity_state.h"
#include "core/snapshot_output.h"
#include "core/snapshot_writer.h"
#include "memory_file_system.h"

namespace mv {
namespace {

using test::FaultyFileSystem;
using test::FixedClock;
using test::MemoryFileSystem;

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
    return WriteSnapshot("G", "PC", kPath, "S;T", &report, fileSystem, clock);
  }

  MemoryFileSystem fs;
  FixedClock clock{LocalTime{2026, 1, 1, 0, 0, 0}};
  WriteReport report;
};

TEST_F(SnapshotFaultsTest, EveryFailedWriteDeletesTheFileAndIsReported) {
  FaultyFileSystem clean(fs);
  ASSERT_EQ(Write(clean), 1);
  ASSERT_TRUE(report.complete);
  const std::string complete = fs.files.at(kPath);
  ASSERT_GE(clean.writes, 3);

  for (int n = 1; n <= clean.writes; ++n) {
    FaultyFileSystem faulty(fs);
    faulty.failWrite = n;
    EXPECT_EQ(Write(faulty), 1);
    EXPECT_FALSE(report.complete) << "write " << n;
    EXPECT_EQ(report.error, IoError::kDiskFull) << "write " << n;
    EXPECT_EQ(fs.files.count(kPath), 0u) << "write " << n;
    // Nothing is written after the failure.
    EXPECT_EQ(faulty.writes, n);
  }
}

TEST_F(SnapshotFaultsTest, FailedCloseDeletesTheFileAndIsReported) {
  FaultyFileSystem faulty(fs);
  faulty.failClose = true;
  EXPECT_EQ(Write(faulty), 1);
  EXPECT_FALSE(report.complete);
  EXPECT_EQ(report.error, IoError::kOther);
  EXPECT_EQ(fs.files.count(kPath), 0u);
}

TEST_F(SnapshotFaultsTest, FileThatCannotBeCreatedIsReportedAndNothingIsWalked) {
  FaultyFileSystem faulty(fs);
  faulty.failCreate = IoError::kAccessDenied;
  EXPECT_EQ(Write(faulty), 1);
  EXPECT_FALSE(report.complete);
  EXPECT_EQ(report.error, IoError::kAccessDenied);
  EXPECT_TRUE(fs.listed.empty());
}

// An output file that records each write it is given.
class RecordingFile : public OutputFile {
 public:
  IoError Write(const void* data, std::size_t size) override {
    writes.emplace_back(static_cast<const char*>(data), size);
    return IoError::kNone;
  }
  IoError Close() override {
    closed = true;
    return IoError::kNone;
  }
  std::vector<std::string> writes;
  bool closed = false;
};

TEST(SnapshotOutput, BufferedBytesEqualTheTextsWrittenWhateverTheirLength) {
  RecordingFile file;
  SnapshotOutput out(file, 16);
  std::string expected;
  for (const std::string& text : {std::string("short"), std::string(15, 'x'), std::string(40, 'y'),
                                  std::string(), std::string("tail")}) {
    WriteLine(out, text);
    expected += text + "\r\n";
  }
  EXPECT_EQ(out.Finish(), IoError::kNone);
  EXPECT_TRUE(file.closed);
  std::string written;
  for (const std::string& w : file.writes) {
    EXPECT_FALSE(w.empty());
    written += w;
  }
  EXPECT_EQ(written, expected);
}

}  // namespace
}  // namespace mv
