// Names in any script: a snapshot stays in the ANSI code page, byte for byte, while its names
// fit it, and is carried over to UTF-8 whole at the first that does not; the code-page
// encoder behind it takes exact forms only.
#include <gtest/gtest.h>

#include "capture/activity_state.h"
#include "core/snapshot_writer.h"
#include "platform/code_page.h"
#include "platform/memory/fixed_clock.h"
#include "platform/memory/memory_file_system.h"
#include "query/name_pattern.h"
#include "snapshot_texts.h"

namespace mv {
namespace {

using test::SnapshotText;

constexpr char kPath[] = "C:\\snaps\\WORKGROUP.PC.05.12.2026.09.04.05.mirvaul";
constexpr char kDated[] = ";;f;;1;;3.15.2010";

TEST(CodePageEncoder, TakesExactFormsOnlyNeverALookAlike) {
  struct Case {
    unsigned codePage;
    const char* utf8;
    const char* bytes;  // null: does not fit
  };
  const Case cases[] = {
      {1252, "caf\u00e9 \u20ac", "caf\xE9 \x80"},
      {1252, "\u65e5", nullptr},
      {1252, "\u0142", nullptr},        // a best fit would write "l"
      {1252, "\xEF\xBC\xA1", nullptr},  // fullwidth A: a best fit would write "A"
      {1250, "\u0142", "\xB3"},
      {1251, "\u041f\u0440\u0438", "\xCF\xF0\xE8"},
      {932, "\u65e5\u672c.txt", "\x93\xFA\x96\x7B.txt"},
      {932, "\U0001F680", nullptr},
      {1252, "caf\xE9", nullptr},  // no UTF-8 at all
  };
  for (const Case& c : cases) {
    std::string out;
    EXPECT_EQ(EncodeCodePageText(c.codePage, c.utf8, out), c.bytes != nullptr)
        << c.codePage << " " << c.utf8;
    if (c.bytes != nullptr) {
      EXPECT_EQ(out, c.bytes) << c.codePage;
    }
  }
}

struct Share {
  std::string name;
  std::vector<std::string> files;  // UTF-8, as the ports give them
};

class SnapshotEncodingTest : public ::testing::Test {
 protected:
  void SetUp() override { SetActivityState(kCapturing); }
  void TearDown() override { SetActivityState(kIdle); }

  std::string Write(const std::string& computer, const std::vector<Share>& shares,
                    unsigned codePage, MemoryFileSystem& fs) {
    std::vector<std::string> names;
    for (const Share& share : shares) {
      const std::string root = "\\\\" + computer + "\\" + share.name;
      fs.AddDirectory(root);
      for (const std::string& file : share.files)
        fs.AddFile(root + "\\" + file, 1, UtcDateTime{2010, 3, 15, 12, 0, 0});
      names.push_back(share.name);
    }
    EXPECT_EQ(WriteSnapshot("WORKGROUP", computer, kPath, names, &report, fs, clock, codePage), 1);
    EXPECT_TRUE(report.complete);
    EXPECT_EQ(fs.files.size(), 1u);  // no temporary file is left behind
    return fs.files.count(kPath) != 0 ? fs.files.at(kPath) : std::string();
  }

  MemoryFileSystem files{MatchesNamePattern};
  FixedClock clock{LocalTime{2026, 12, 5, 9, 4, 5}};
  WriteReport report;
};

// The header, then each share and its files, in the bytes given.
std::string Expected(const std::string& computer, const std::vector<Share>& shares,
                     bool encodingLine) {
  std::string text = SnapshotText({"Mirrorvault file", "VERSION: 1.0", "COMPUTER: " + computer,
                                   "GROUP: WORKGROUP", "DATE CREATED: 05.12.2026 09:04:05"});
  if (encodingLine) text += SnapshotText({"ENCODING: UTF-8"});
  text += SnapshotText({""});
  for (const Share& share : shares) {
    text += SnapshotText({"SHARENAME: " + share.name});
    for (const std::string& file : share.files) text += SnapshotText({file + kDated});
  }
  return text + SnapshotText({"END"});
}

TEST_F(SnapshotEncodingTest, NamesThatAllFitAreWrittenInTheCodePageAsEver) {
  const std::string written =
      Write("PC",
            {{"Docs", {"r\u00e9sum\u00e9.txt", "plain.txt", "\u00c4rger \u20ac.xls"}},
             {"M\u00fcsik", {"caf\u00e9.mp3"}}},
            1252, files);
  EXPECT_EQ(written, Expected("PC",
                              {{"Docs", {"r\xE9sum\xE9.txt", "plain.txt", "\xC4rger \x80.xls"}},
                               {"M\xFCsik", {"caf\xE9.mp3"}}},
                              false));
  EXPECT_EQ(report.namesAltered, 0);
  MemoryFileSystem japanese{MatchesNamePattern};
  EXPECT_EQ(Write("PC", {{"Docs", {"\u65e5\u672c.txt"}}}, 932, japanese),
            Expected("PC", {{"Docs", {"\x93\xFA\x96\x7B.txt"}}}, false));
}

// Wherever the first name that does not fit stands (after enough names for several pieces of
// the carrying over, in a share's name, in the computer's), the file is the UTF-8 snapshot.
TEST_F(SnapshotEncodingTest, TheFirstNameThatDoesNotFitMakesTheWholeSnapshotUtf8) {
  std::vector<std::string> many;
  for (int i = 0; i < 12000; ++i) many.push_back("caf\u00e9 " + std::to_string(i) + ".txt");
  many.insert(many.end(), {"\u65e5\u672c.txt", "\u041f\u0440\u0438\u0432\u0435\u0442.docx",
                           "r\u00e9sum\u00e9.txt"});
  struct Case {
    std::string computer;
    std::vector<Share> shares;
    unsigned codePage;
  };
  const Case cases[] = {
      {"PC", {{"Docs", many}, {"Pics", {"report \U0001F680.pdf"}}}, 1252},
      {"PC", {{"Docs", {"caf\u00e9.txt"}}, {"\u0424\u043e\u0442\u043e", {"a.jpg"}}}, 1252},
      {"\u041f\u041a", {{"Docs", {"caf\u00e9.txt"}}}, 1252},
      {"PC", {{"Docs", {"\u00e9t\u00e9.txt", "\u0416.txt"}}}, 65001},  // a UTF-8 system
      // Two-byte forms whose trail byte is 5C, the path separator: 83 5C, 95 5C; 81 5C; B3 5C.
      {"PC", {{"Docs", {"\u65e5\u672c.txt", "\u30bd", "\u8868.txt"}}}, 932},
      {"PC", {{"Docs", {"\u4e57.txt"}}}, 936},
      {"PC", {{"Docs", {"\u8a31.txt"}}}, 950},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.computer + " " + c.shares.back().name);
    MemoryFileSystem fresh{MatchesNamePattern};
    EXPECT_EQ(Write(c.computer, c.shares, c.codePage, fresh), Expected(c.computer, c.shares, true));
    EXPECT_EQ(report.namesAltered, 0);
  }
}

}  // namespace
}  // namespace mv
