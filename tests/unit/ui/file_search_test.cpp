// Searching the loaded snapshot: matches in file order across directories and shares, each
// shown selected in its directory, the run that wraps once, and what is never found.
#include <gtest/gtest.h>

#include "browser_fixture.h"
#include "ui/file_search.h"

namespace mv::test {
namespace {

class FileSearchTest : public BrowserTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(
        Open(HeaderText() +
             SnapshotText({"SHARENAME: One", "report.txt;;f;;1;;1.1.2010", "Sub;;d;;0;;1.1.2010",
                           "a;;b.txt;;f;;1;;1.1.2010", "Sub\\report-old.txt;;f;;1;;1.1.2010",
                           "Sub\\Deep;;d;;0;;1.1.2010", "Sub\\Deep\\Report.DOC;;f;;1;;1.1.2010",
                           "SHARENAME: Two", "notes.txt;;f;;1;;1.1.2010", "Reports;;d;;0;;1.1.2010",
                           "Reports\\q1.txt;;f;;1;;1.1.2010", "END"})));
  }
  // Searches; the location and the selected rows afterwards, or the message shown.
  std::string Find(const std::string& name) {
    notices.messages.clear();
    if (!search.Search(browser, list, notices, name)) {
      return notices.messages.empty() ? "" : notices.messages.back();
    }
    std::string shown = controls.location();
    for (const MemoryFileList::Row& row : list.rows()) {
      if (row.state != 0)
        shown += " " + row.cells[0] + (row.state == (kRowSelected | kRowFocused) ? "" : "?");
    }
    return shown;
  }

  FileSearch search;
};

TEST_F(FileSearchTest, WalksMatchesInFileOrderAcrossSharesThenSaysNothingMore) {
  EXPECT_EQ(Find("report"), "\\\\PC7\\One\\ report");
  EXPECT_EQ(Find("report"), "\\\\PC7\\One\\Sub\\ report-old");
  EXPECT_EQ(Find("report"), "\\\\PC7\\One\\Sub\\Deep\\ Report");
  EXPECT_EQ(Find("report"), "\\\\PC7\\Two\\ Reports");  // a directory matches too
  EXPECT_EQ(Find("report"), "Nothing more was found for 'report'.");
  EXPECT_EQ(browser.navigationPath(), "Two\\");
  EXPECT_EQ(search.lastName(), "report");
  EXPECT_EQ(Find("report"), "\\\\PC7\\One\\ report");  // a new run, wrapped at once
  Find("report");
  Find("report");
  EXPECT_EQ(Find("report"), "\\\\PC7\\Two\\ Reports");  // the row it began at, last
  EXPECT_EQ(Find("report"), "Nothing more was found for 'report'.");
}

TEST_F(FileSearchTest, StartsAfterTheCurrentRowAndWrapsOnce) {
  browser.OpenLocation("One");
  browser.OpenLocation("Sub");
  list.SelectOnly(RowOf("Deep"));
  EXPECT_EQ(Find("REPORT"), "\\\\PC7\\One\\Sub\\Deep\\ Report");
  EXPECT_EQ(Find("REPORT"), "\\\\PC7\\Two\\ Reports");
  EXPECT_EQ(Find("REPORT"), "\\\\PC7\\One\\ report");
  EXPECT_EQ(Find("REPORT"), "\\\\PC7\\One\\Sub\\ report-old");
  EXPECT_EQ(Find("REPORT"), "Nothing more was found for 'REPORT'.");
  // Another name, or a row chosen by the user, starts a new run from the current row.
  list.SelectOnly(RowOf(".."));
  EXPECT_EQ(Find("report"), "\\\\PC7\\One\\Sub\\ report-old");
  EXPECT_EQ(Find("notes"), "\\\\PC7\\Two\\ notes");
}

TEST_F(FileSearchTest, WildcardsNamesWithSeparatorsAndWhatIsNeverFound) {
  const std::pair<const char*, const char*> cases[] = {
      {"q?.txt", "\\\\PC7\\Two\\Reports\\ q1"},
      {"r*t.doc", "\\\\PC7\\One\\Sub\\Deep\\ Report"},
      {"a;;b", "\\\\PC7\\One\\ a;;b"},
      {"One", "Could not find 'One'."},  // share names do not match
  };
  for (const auto& [name, shown] : cases) {
    browser.OpenLocation("");
    search = FileSearch{};
    EXPECT_EQ(Find(name), shown) << name;
  }
  // Matches in a share whose section is never closed are skipped.
  ASSERT_TRUE(Open(HeaderText() +
                   SnapshotText({"SHARENAME: One", "x1.txt;;f;;1;;1.1.2010", "SHARENAME: Open",
                                 "x2.txt;;f;;1;;1.1.2010", "x3.txt;;f;;1;;1.1.2010"})));
  EXPECT_EQ(Find("x"), "\\\\PC7\\One\\ x1");
  EXPECT_EQ(Find("x"), "Nothing more was found for 'x'.");
  MemoryFileList otherList;
  SnapshotBrowser empty{files, otherList, controls, notices};
  EXPECT_FALSE(search.Search(empty, otherList, notices, "report"));
  EXPECT_EQ(notices.messages.back(), "No snapshot is loaded.");
}

}  // namespace
}  // namespace mv::test
