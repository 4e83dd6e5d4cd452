// Moving through a loaded snapshot one step at a time: the rows of each listing, the row
// selected on the way up, the location text, and the steps that cannot be taken.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "browser_fixture.h"

namespace mv::test {
namespace {

class NavigationTest : public BrowserTest {};

TEST_F(NavigationTest, ListingsShowTheirOwnLevelGoingUpSelectsTheDirectoryLeftAndTheSortStays) {
  ASSERT_TRUE(Open(kSampleSnapshot));
  EXPECT_EQ(Names(), (NameList{"Docs", "Music"}));
  EXPECT_EQ(Row("Docs").cells[1], "<SHARE>");
  EXPECT_EQ(Row("Docs").image, kShareImage);
  EXPECT_EQ(controls.location(), "\\\\PC7\\");

  browser.OpenLocation("Docs");
  EXPECT_EQ(Names(), (NameList{"..", "Sub", "Zed", "a"}));
  EXPECT_EQ(Row("..").state, kRowSelected);
  EXPECT_EQ(Row("..").cells[1], "<DIR>");
  browser.OpenLocation("Sub");
  EXPECT_EQ(Names(), (NameList{"..", "Deep", "b"}));
  EXPECT_EQ(Row("b").cells[2], "5368709120");
  browser.OpenLocation("Deep");
  EXPECT_EQ(Names(), (NameList{"..", "c"}));
  EXPECT_EQ(browser.navigationPath(), "Docs\\Sub\\Deep\\");
  EXPECT_EQ(browser.listedPath(), "Docs\\Sub\\Deep\\");
  EXPECT_EQ(controls.location(), "\\\\PC7\\Docs\\Sub\\Deep\\");

  browser.OpenLocation("..");
  browser.OpenLocation("..");
  EXPECT_EQ(browser.navigationPath(), "Docs\\");
  EXPECT_EQ(Names(), (NameList{"..", "Sub", "Zed", "a"}));
  EXPECT_EQ(Row("Sub").state, kRowSelected | kRowFocused);
  EXPECT_EQ(Row("..").state, 0u);
  EXPECT_EQ(Row("Zed").state, 0u);
  browser.OpenLocation("..");
  EXPECT_EQ(Names(), (NameList{"Docs", "Music"}));
  EXPECT_EQ(Row("Docs").state, kRowSelected);  // share rows are selected, not focused
  EXPECT_EQ(controls.location(), "\\\\PC7\\");
  browser.OpenLocation("..");  // at the top, ".." shows the share list again
  EXPECT_EQ(Names(), (NameList{"Docs", "Music"}));
  EXPECT_TRUE(notices.messages.empty());

  // A chosen sort survives navigation and loading.
  browser.OpenLocation("Docs");
  browser.ClickColumn(kNameColumn);  // first click: descending
  EXPECT_EQ(Names(), (NameList{"..", "Zed", "Sub", "a"}));
  browser.OpenLocation("Zed");
  browser.OpenLocation("..");
  EXPECT_EQ(Names(), (NameList{"..", "Zed", "Sub", "a"}));
  EXPECT_EQ(Row("Zed").state, kRowSelected | kRowFocused);
  ASSERT_TRUE(Open(kSampleSnapshot));
  EXPECT_EQ(Names(), (NameList{"Music", "Docs"}));
}

TEST_F(NavigationTest, TwoSharesWithTheSameDirectoryStayApart) {
  ASSERT_TRUE(Open(
      HeaderText() +
      SnapshotText({"SHARENAME: One", "Sub;;d;;0;;1.1.2010", "Sub\\one.txt;;f;;1;;1.1.2010",
                    "SHARENAME: Two", "Sub;;d;;0;;1.1.2010", "Sub\\two.txt;;f;;1;;1.1.2010",
                    "SHARENAME: Files", "x.txt;;f;;1;;1.1.2010", "y.txt;;f;;1;;1.1.2010", "END"})));
  browser.OpenLocation("Two");
  browser.OpenLocation("Sub");
  EXPECT_EQ(Names(), (NameList{"..", "two"}));
  browser.OpenLocation("..");
  browser.OpenLocation("..");
  browser.OpenLocation("One");
  browser.OpenLocation("sub");  // names are matched ignoring case
  EXPECT_EQ(Names(), (NameList{"..", "one"}));
  EXPECT_EQ(browser.FillFileList("Files", ""), 1);
  EXPECT_EQ(Names(), (NameList{"..", "x", "y"}));
}

TEST_F(NavigationTest, StepsThatCannotBeTakenReportAndKeepTheListing) {
  ASSERT_TRUE(Open(HeaderText() + SnapshotText({"SHARENAME: Docs", "Empty;;d;;0;;1.1.2010",
                                                "a.txt;;f;;1;;1.1.2010", "--;;d;;0;;1.1.2010",
                                                "--\\in.txt;;f;;1;;1.1.2010", "SHARENAME: Bare",
                                                "SHARENAME: Open", "x.txt;;f;;1;;1.1.2010"})));
  browser.OpenLocation("Docs");
  const NameList docs = Names();
  browser.OpenLocation("Empty");  // a directory without content is not found
  browser.OpenLocation("a");      // a file is not a location
  EXPECT_EQ(notices.messages, (std::vector<std::string>{"Could not locate 'Empty' path.",
                                                        "Could not locate 'a' path."}));
  EXPECT_EQ(notices.kinds.back(), MessageKind::kError);
  EXPECT_EQ(Names(), docs);
  EXPECT_EQ(browser.navigationPath(), "Docs\\");
  EXPECT_EQ(controls.location(), "\\\\PC7\\Docs\\");
  // Staying only rewrites the location.
  list.SelectOnly(RowOf("a"));
  controls.SetLocationText("typed by the user");
  browser.RewriteLocation();
  EXPECT_EQ(controls.location(), "\\\\PC7\\Docs\\");
  EXPECT_EQ(Row("a").state, kRowSelected | kRowFocused);
  EXPECT_EQ(browser.navigationPath(), "Docs\\");
  // "--" is a name like any other.
  browser.OpenLocation("--");
  EXPECT_EQ(Names(), (NameList{"..", "in"}));
  EXPECT_EQ(controls.location(), "\\\\PC7\\Docs\\--\\");

  browser.OpenLocation("..");
  browser.OpenLocation("..");
  browser.OpenLocation("Bare");  // a share without content lists only ".."
  EXPECT_EQ(Names(), (NameList{".."}));
  browser.OpenLocation("..");
  browser.OpenLocation("Open");  // its section is never closed: listed, but not openable
  EXPECT_EQ(notices.messages.back(), "Could not locate 'Open' path.");
  EXPECT_EQ(Names(), (NameList{"Bare", "Docs", "Open"}));
  EXPECT_EQ(browser.navigationPath(), "");
}

TEST_F(NavigationTest, NameCellsOfFilesAndDirectories) {
  ASSERT_TRUE(Open(HeaderText() +
                   SnapshotText({"SHARENAME: S", "README.TXT;;f;;5;;1.2.2010",
                                 "archive.tar.gz;;f;;6;;1.2.2010", ".profile;;f;;7;;1.2.2010",
                                 "trailing.;;f;;8;;1.2.2010", "my.dir;;d;;0;;1.2.2010",
                                 "ends;;;f;;9;;1.2.2010", "odd;;x;;9;;1.2.2010", "END"})));
  browser.OpenLocation("S");
  EXPECT_EQ(Names(),
            (NameList{"..", "my.dir", ".profile", "archive.tar", "ends;", "README", "trailing"}));
  EXPECT_EQ(Row("README").cells, (std::array<std::string, 4>{"README", "txt", "5", "1.2.2010"}));
  EXPECT_EQ(Row("archive.tar").cells[1], "gz");
  EXPECT_EQ(Row(".profile").cells[1], "");
  EXPECT_EQ(Row("trailing").cells[1], "");  // "trailing." + "" names the file again
  EXPECT_EQ(Row("my.dir").cells, (std::array<std::string, 4>{"my.dir", "<DIR>", "", "1.2.2010"}));
  EXPECT_EQ(Row("my.dir").image, kFolderImage);
  // One icon per distinct key, asked in listing order; ".profile" and "trailing." share ".".
  EXPECT_EQ(list.iconKeys(), (std::vector<std::string>{".txt", ".gz", "."}));
  EXPECT_EQ(Row(".profile").image, Row("trailing").image);
}

TEST(ParseEntryLine, BareNameAndMisreadSeparators) {
  const ParsedEntry bare = ParseEntryLine("archive.tar");
  EXPECT_EQ(bare.displayName, "archive.tar");
  EXPECT_EQ(bare.fullName, "archive.tar");
  EXPECT_EQ(bare.type, "");
  // A name that holds ";;" reads back whole when the last three fields are well formed;
  // a line whose tail is not is cut from the left, and a row's Name text stays whole.
  EXPECT_EQ(ParseEntryLine("a;;b.txt;;f;;1;;1.1.2010").fullName, "a;;b.txt");
  EXPECT_EQ(ParseEntryLine("ends;;;f;;9;;1.2.2010").fullName, "ends;");
  EXPECT_EQ(ParseEntryLine("a;;b;;f;;1x;;1.1.2010").type, "b");
  EXPECT_EQ(ParseBareName("dir;;x").fullName, "dir;;x");
  const ParsedEntry upper = ParseEntryLine("X.JPG;;F;;12;;1.1.2010;;extra");
  EXPECT_EQ(upper.sizeText, "12");
  EXPECT_EQ(upper.dateText, "1.1.2010");
}

TEST(ParseEntryLine, TailsOfAnyLengthAtAnyPlaceInTheLine) {
  // Each name holds ";;": a line whose tail is not read is cut from the left.
  const struct {
    std::string tail;
    const char* type;
    const char* name;
  } cases[] = {
      {std::string(";;f;;").append(40, '9').append(";;1.1.2010"), "f", "a;;b"},
      {std::string(";;d;;0;;1.1.").append(35, '2'), "d", "a;;b"},
      {";;F;;12;;1.1.2010", "F", "a;;b"},
      {";;f;;12;;1..2010", "b", "a"},
      {";;f;;12;;.1.2010", "b", "a"},
      {";;f;;12;;1.1.2010.", "b", "a"},
      {";;f;;12;;1.1.2.0", "b", "a"},
      {";;f;;;;1.1.2010", "b", "a"},
      {";;x;;12;;1.1.2010", "b", "a"},
      {";f;;12;;1.1.2010", "b;f", "a"},
  };
  for (const auto& c : cases) {
    // Lines from shorter to longer than the bytes the reader sorts at once.
    for (std::size_t pad = 0; pad < 40; ++pad) {
      const std::string line = std::string(pad, 'n').append("a;;b").append(c.tail);
      const EntryFields fields = SplitEntryFields(line);
      EXPECT_EQ(fields[0].substr(pad), c.name) << line;
      EXPECT_EQ(fields[1], c.type) << line;
      EXPECT_EQ(EntryKind(line), c.type) << line;
    }
  }
}

TEST_F(NavigationTest, EveryDirectoryOfManyIsFoundAgainAndAgain) {
  std::string text = HeaderText() + "SHARENAME: S\r\n";
  const int dirs = 70;
  for (int d = 0; d < dirs; ++d) text += Numbered("D", d).append(";;d;;0;;1.1.2010\r\n");
  for (int d = 0; d < dirs; ++d) {
    text += Numbered("D", d).append(Numbered("\\f", d)).append(".txt;;f;;1;;1.1.2010\r\n");
  }
  ASSERT_TRUE(Open(text + "END\r\n"));
  for (int round = 0; round < 2; ++round) {
    for (int d = 0; d < dirs; ++d) {
      ASSERT_EQ(browser.FillFileList(Numbered("S\\D", d).append("\\"), ""), 1);
      ASSERT_EQ(Names(), (NameList{"..", Numbered("f", d)}));
    }
  }
}

// Names and paths longer than the fixed texts of old are shown and opened whole.
TEST_F(NavigationTest, LongNamesExtensionsAndPathsAreKeptWhole) {
  const std::string longName(200, 'n');
  const std::string longExtension(40, 'e');
  std::string deep = "SHARENAME: S\r\n";
  std::string path;
  for (int level = 0; level < 3; ++level) {
    deep += path + longName + ";;d;;0;;1.1.2010\r\n";
    path += longName + "\\";
  }
  deep += path + "file." + longExtension + ";;f;;1;;1.1.2010\r\nEND\r\n";
  ASSERT_TRUE(Open(HeaderText() + deep));
  browser.OpenLocation("S");
  for (int level = 0; level < 3; ++level) browser.OpenLocation(longName);
  EXPECT_TRUE(notices.messages.empty());
  EXPECT_EQ(controls.location(), "\\\\PC7\\S\\" + path);
  EXPECT_EQ(Row("file").cells[1], longExtension);
  EXPECT_EQ(list.iconKeys(), (std::vector<std::string>{"."}));
  browser.OpenLocation("..");
  EXPECT_EQ(Row(longName).state, kRowSelected | kRowFocused);
}

TEST_F(NavigationTest, TypeIconsAreAskedOncePerTypeAndShareOneIconOnceTheCacheIsFull) {
  ASSERT_TRUE(Open(kSampleSnapshot));
  const int txt = browser.GetTypeIconIndex("txt");
  EXPECT_EQ(browser.GetTypeIconIndex("TXT"), txt);
  for (int i = 1; i < kTypeIconCacheSlots; ++i) browser.GetTypeIconIndex(Numbered("x", i));
  EXPECT_EQ(list.iconKeys().size(), static_cast<std::size_t>(kTypeIconCacheSlots));
  const int overflow = browser.GetTypeIconIndex("new1");
  EXPECT_EQ(browser.GetTypeIconIndex("new2"), overflow);
  EXPECT_EQ(list.iconKeys().back(), ".");
  EXPECT_EQ(list.iconKeys().size(), static_cast<std::size_t>(kTypeIconCacheSlots) + 1);
  EXPECT_EQ(browser.GetTypeIconIndex("txt"), txt);
}

}  // namespace
}  // namespace mv::test
