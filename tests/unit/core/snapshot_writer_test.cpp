// The snapshot writer over an in-memory file system: exact bytes, walk order, stops,
// unreachable shares, long lines and directory link loops (the share limit is checked
// through the capture job, which names the shares left out).
#include <gtest/gtest.h>

#include "capture/activity_state.h"
#include "core/snapshot_writer.h"
#include "platform/memory/fixed_clock.h"
#include "platform/memory/memory_file_system.h"
#include "query/name_pattern.h"
#include "snapshot_texts.h"

namespace mv {
namespace {

using test::HeaderText;
using test::SnapshotText;

constexpr char kPath[] = "C:\\snaps\\WORKGROUP.PC7.05.12.2026.09.04.05.mirvaul";

UtcDateTime Date(int year, int month, int day) {
  return UtcDateTime{year, month, day, 12, 0, 0};
}

// Each directory as the walk lists it: twice in a row.
std::vector<std::string> Twice(std::initializer_list<const char*> directories) {
  std::vector<std::string> listed;
  for (const char* directory : directories)
    listed.insert(listed.end(), 2, std::string("\\\\PC7\\") + directory);
  return listed;
}

class SnapshotWriterTest : public ::testing::Test {
 protected:
  void SetUp() override { SetActivityState(kCapturing); }
  void TearDown() override { SetActivityState(kIdle); }

  int Write(const std::string& shares, FileSystem& fileSystem) {
    return WriteSnapshot("WORKGROUP", "PC7", kPath, SplitShareList(shares), &report, fileSystem,
                         clock);
  }
  int Write(const std::string& shares) { return Write(shares, fs); }
  std::string Body() const {
    const std::string& bytes = fs.files.at(kPath);
    EXPECT_EQ(bytes.substr(0, HeaderText().size()), HeaderText());
    return bytes.substr(HeaderText().size());
  }

  MemoryFileSystem fs{MatchesNamePattern};
  FixedClock clock{LocalTime{2026, 12, 5, 9, 4, 5}};
  WriteReport report;
};

TEST_F(SnapshotWriterTest, WholeDirectoryBeforeChildrenInListingOrderWithUtcDates) {
  fs.AddDirectory("\\\\PC7\\Docs");
  fs.AddFile("\\\\PC7\\Docs\\a.txt", 10, Date(2010, 3, 15));
  fs.AddDirectory("\\\\PC7\\Docs\\Sub", Date(2009, 6, 1));
  fs.AddDirectory("\\\\PC7\\Docs\\Zed", Date(2009, 6, 1));
  fs.AddFile("\\\\PC7\\Docs\\Sub\\b.iso", 5368709120ULL, Date(2009, 6, 2));
  fs.AddDirectory("\\\\PC7\\Docs\\Sub\\Deep", Date(2009, 6, 2));
  fs.AddFile("\\\\PC7\\Docs\\Sub\\Deep\\c.txt", 0, Date(2009, 6, 3));
  fs.AddFile("\\\\PC7\\Docs\\Zed\\d.txt", 40, Date(2009, 7, 4));
  fs.AddDirectory("\\\\PC7\\Music");
  EXPECT_EQ(Write("Docs;Music"), 1);
  EXPECT_EQ(fs.files.at(kPath), test::kSampleSnapshot);  // the format's own sample, byte for byte
  // Every directory is listed before its children.
  EXPECT_EQ(fs.listed, Twice({"Docs", "Docs\\Sub", "Docs\\Sub\\Deep", "Docs\\Zed", "Music"}));
  EXPECT_EQ(fs.identifyCalls, 0);  // without links no directory needs identifying
}

// Names are written whole, hidden ones too, but a line break would end a name's line early
// ("x\nSHARENAME: evil"): it is written as '?', and counted with the names the backend could
// not convert.
TEST_F(SnapshotWriterTest, NamesAreWrittenWholeButLineBreaksBecomeQuestionMarks) {
  fs.AddDirectory("\\\\PC7\\S");
  fs.AddDirectory("\\\\PC7\\S\\...", Date(2010, 3, 3), kAttrHidden | kAttrSystem);
  fs.AddFile("\\\\PC7\\S\\...\\.profile", 2, Date(2010, 3, 3), kAttrHidden);
  fs.AddFile("\\\\PC7\\S\\odd;;name;", 3, Date(2010, 3, 3));
  fs.AddFile("\\\\PC7\\S\\x\nSHARENAME: evil", 1, Date(2010, 3, 3));
  fs.AddDirectory("\\\\PC7\\S\\d\r", Date(2010, 3, 3));
  fs.AddFile("\\\\PC7\\S\\d\r\\in", 2, Date(2010, 3, 3));
  fs.AddFile("\\\\PC7\\S\\caf?", 3, Date(2010, 3, 3));
  fs.MarkNameAltered("\\\\PC7\\S\\caf?");
  // In the share root a name beginning with the share key would open a share of its own, and
  // so would every line below it.
  fs.AddFile("\\\\PC7\\S\\SHARENAME: Evil", 1, Date(2010, 3, 3));
  fs.AddDirectory("\\\\PC7\\S\\sharename: d", Date(2010, 3, 3));
  fs.AddFile("\\\\PC7\\S\\sharename: d\\SHARENAME: x", 1, Date(2010, 3, 3));
  EXPECT_EQ(Write("S"), 1);
  EXPECT_EQ(Body(), SnapshotText({"SHARENAME: S", "...;;d;;0;;3.3.2010",
                                  "odd;;name;;;f;;3;;3.3.2010", "x?SHARENAME: evil;;f;;1;;3.3.2010",
                                  "d?;;d;;0;;3.3.2010", "caf?;;f;;3;;3.3.2010",
                                  "SHARENAME? Evil;;f;;1;;3.3.2010", "sharename? d;;d;;0;;3.3.2010",
                                  "...\\.profile;;f;;2;;3.3.2010", "d?\\in;;f;;2;;3.3.2010",
                                  "sharename? d\\SHARENAME: x;;f;;1;;3.3.2010", "END"}));
  EXPECT_EQ(report.namesAltered, 5);
}

TEST_F(SnapshotWriterTest, EmptyAndUnreachableSharesKeepTheirLinesUnlistableOnesAreCounted) {
  fs.AddDirectory("\\\\PC7\\Docs");
  fs.AddDirectory("\\\\PC7\\Docs\\Locked");
  fs.MakeUnlistable("\\\\PC7\\Docs\\Locked");
  fs.AddDirectory("\\\\PC7\\Empty");
  fs.AddDirectory("\\\\PC7\\Music");
  fs.AddFile("\\\\PC7\\Music\\m.mp3", 5);
  EXPECT_EQ(Write("Gone;Docs;Empty;Music"), 1);
  EXPECT_EQ(Body(),
            SnapshotText({"SHARENAME: Gone", "SHARENAME: Docs", "Locked;;d;;0;;1.1.1601",
                          "SHARENAME: Empty", "SHARENAME: Music", "m.mp3;;f;;5;;1.1.1601", "END"}));
  EXPECT_TRUE(report.complete);
  EXPECT_FALSE(report.stopped);
  EXPECT_EQ(report.error, IoError::kNone);
  EXPECT_EQ(report.unlistedDirectories, 2);
  EXPECT_EQ(report.sharesNotListed, std::vector<std::string>{"Gone"});
}

// A computer none of whose shares could be listed gets no file, which would hide its last
// real snapshot; one share that lists as empty is enough. Header values lose line breaks.
TEST_F(SnapshotWriterTest, NoFileWhenNotOneShareCouldBeListed) {
  fs.AddDirectory("\\\\PC7\\Empty");
  fs.AddDirectory("\\\\PC7\\Locked");
  fs.MakeUnlistable("\\\\PC7\\Locked");
  const struct {
    std::vector<std::string> shares;
    bool kept;
    std::vector<std::string> notListed;
  } cases[] = {{{"Gone", "Locked"}, false, {"Gone", "Locked"}},
               {{"Gone", "Empty"}, true, {"Gone"}}};
  for (const auto& c : cases) {
    fs.files.clear();
    WriteSnapshot("W\r\nG", "PC7", kPath, c.shares, &report, fs, clock);
    EXPECT_EQ(report.complete, c.kept);
    EXPECT_EQ(report.nothingListed, !c.kept);
    EXPECT_EQ(report.sharesNotListed, c.notListed);
    EXPECT_EQ(fs.files.size(), c.kept ? 1u : 0u);
    EXPECT_EQ(report.namesAltered, 1);
  }
  EXPECT_NE(fs.files.at(kPath).find("\r\nGROUP: W??G\r\n"), std::string::npos);
}

TEST_F(SnapshotWriterTest, SubdirectoryAddedBetweenTheTwoListingsIsWalked) {
  fs.AddDirectory("\\\\PC7\\S");
  fs.AddFile("\\\\PC7\\S\\f", 1);
  int rootListings = 0;
  // The first listing copies the entries when it starts; add after it, before the second.
  fs.onList = [&](const std::string& dir) {
    if (dir == "\\\\PC7\\S" && ++rootListings == 2) {
      fs.AddDirectory("\\\\PC7\\S\\New");
      fs.AddFile("\\\\PC7\\S\\New\\n", 4);
    }
  };
  EXPECT_EQ(Write("S"), 1);
  EXPECT_EQ(Body(),
            SnapshotText({"SHARENAME: S", "f;;f;;1;;1.1.1601", "New\\n;;f;;4;;1.1.1601", "END"}));
}

TEST_F(SnapshotWriterTest, AStopFinishesItsShareThenDeletesTheFileAndNoShareWritesNone) {
  for (const char* share : {"\\\\PC7\\One", "\\\\PC7\\Two", "\\\\PC7\\Three"})
    fs.AddDirectory(share);
  fs.AddDirectory("\\\\PC7\\Two\\Deep");
  fs.AddFile("\\\\PC7\\Two\\Deep\\f", 1);
  fs.onList = [&](const std::string& dir) {
    if (dir == "\\\\PC7\\Two") SetActivityState(kStopRequest);
  };
  EXPECT_EQ(Write("One;Two;Three"), 1);
  EXPECT_EQ(fs.listed, Twice({"One", "Two", "Two\\Deep"}));
  EXPECT_TRUE(fs.files.empty());  // the unfinished file is gone too
  EXPECT_TRUE(report.stopped);
  EXPECT_FALSE(report.complete);

  // Stopped before the first share (the task already idle), or no share at all: no listing.
  fs.listed.clear();
  EXPECT_EQ(Write("One"), 1);
  EXPECT_TRUE(report.stopped);
  EXPECT_EQ(Write(""), 0);
  EXPECT_FALSE(report.complete);
  EXPECT_TRUE(fs.listed.empty());
  EXPECT_TRUE(fs.files.empty());
}

TEST_F(SnapshotWriterTest, LongPathsAndNamesAreWrittenWhole) {
  std::string dir = "\\\\PC7\\S";
  fs.AddDirectory(dir);
  std::string relative;
  for (int i = 0; i < 12; ++i) {
    const std::string part(40, static_cast<char>('a' + i));
    dir += "\\" + part;
    relative += (i > 0 ? "\\" : "") + part;
    fs.AddDirectory(dir);
  }
  const std::string name(255, 'n');
  fs.AddFile(dir + "\\" + name, 7, Date(2020, 2, 29));
  EXPECT_EQ(Write("S"), 1);
  const std::string line = relative + "\\" + name + ";;f;;7;;2.29.2020\r\n";
  ASSERT_GT(line.size(), 700u);
  EXPECT_NE(Body().find("\r\n" + line + "END\r\n"), std::string::npos);
}

TEST_F(SnapshotWriterTest, LinkBackToAnAncestorIsWrittenButNotEnteredOthersAre) {
  fs.AddDirectory("\\\\PC7\\S");
  fs.AddDirectory("\\\\PC7\\S\\A");
  fs.AddDirectory("\\\\PC7\\S\\A\\B");
  fs.AddLink("\\\\PC7\\S\\A\\B\\up", "\\\\PC7\\S\\A");
  fs.AddLink("\\\\PC7\\S\\A\\B\\root", "\\\\PC7\\S");
  fs.AddLink("\\\\PC7\\S\\A\\B\\self", "\\\\PC7\\S\\A\\B");
  fs.AddDirectory("\\\\PC7\\Other");
  fs.AddFile("\\\\PC7\\Other\\o", 1);
  fs.AddLink("\\\\PC7\\S\\A\\B\\elsewhere", "\\\\PC7\\Other");
  EXPECT_EQ(Write("S"), 1);
  EXPECT_EQ(Body(), SnapshotText({"SHARENAME: S", "A;;d;;0;;1.1.1601", "A\\B;;d;;0;;1.1.1601",
                                  "A\\B\\up;;d;;0;;1.1.1601", "A\\B\\root;;d;;0;;1.1.1601",
                                  "A\\B\\self;;d;;0;;1.1.1601", "A\\B\\elsewhere;;d;;0;;1.1.1601",
                                  "A\\B\\elsewhere\\o;;f;;1;;1.1.1601", "END"}));
  EXPECT_TRUE(report.complete);
}

// Plain lists are cut through the writer's tests.
TEST(ShareList, EmptyPiecesNameNoShare) {
  EXPECT_EQ(SplitShareList(";Docs;;Music;"), (std::vector<std::string>{"Docs", "Music"}));
}

}  // namespace
}  // namespace mv
