// The Find in All Snapshots window over a real main window: hits of several snapshots and
// computers, the newest-only choice, Stop, and a double click that shows the hit in the main
// window.
#include <set>

#include "gui_support.h"
#include "query/indexed_find.h"
#include "ui/win32/find_window.h"

namespace mv::gui {
namespace {

const std::vector<std::string> kPc1NewItem = {"WG", "PC1", "05.12.2026 09:04:05"};

class FindWindowTest : public MainWindowTest {
 protected:
  void SetUp() override {
    folder_.Write(
        "WG.PC1.05.12.2026.09.04.05.mirvaul",
        SnapshotText("PC1", "WG", "05.12.2026 09:04:07",
                     {{"Docs",
                       {"report.xlsx;;f;;10;;1.15.2010", "Sub;;d;;0;;3.2.2009",
                        "other.txt;;f;;5;;1.1.2010", "Sub\\a.txt;;f;;1;;1.1.2010",
                        "Sub\\b.txt;;f;;1;;1.1.2010", "Sub\\Report.XLSX;;f;;77;;6.3.2009"}},
                      {"Music", {"song.mp3;;f;;4096;;7.4.2012"}}}));
    folder_.Write("WG.PC1.04.12.2026.18.00.00.mirvaul",
                  SnapshotText("PC1", "WG", "04.12.2026 18:00:01",
                               {{"Docs", {"report.xlsx;;f;;9;;1.15.2010"}}}));
    folder_.Write("WG.PC2.05.12.2026.10.00.00.mirvaul",
                  SnapshotText("PC2", "WG", "05.12.2026 10:00:02",
                               {{"Public", {"Q3 report;;d;;0;;1.1.2020"}}}));
    folder_.Write("WG.BAD.03.12.2026.12.00.00.mirvaul", "this is not a snapshot\r\n");
    Open();
    Command(IDM_FIND_IN_SNAPSHOTS);
    find_ = OpenFindWindow();
    ASSERT_NE(find_, nullptr);
    hits_ = GetDlgItem(find_, IDC_FIND_LIST);
  }

  std::string Progress() { return WholeWindowText(GetDlgItem(find_, IDC_FIND_PROGRESS)); }
  // Runs a search for name and waits for its end; the progress text then.
  std::string Find(const wchar_t* name, bool newestOnly) {
    SetDlgItemTextW(find_, IDC_FIND_NAME, name);
    CheckDlgButton(find_, IDC_FIND_NEWEST, newestOnly ? BST_CHECKED : BST_UNCHECKED);
    SendMessageW(find_, WM_COMMAND, IDC_FIND_START, 0);
    EXPECT_TRUE(WaitUntil([&] { return Progress().rfind("Searching", 0) != 0; }));
    return Progress();
  }
  std::string Cell(int row, int column) {
    wchar_t text[512] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 512;
    SendMessageW(hits_, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
    return TextFromWide(text, NameEncoding::kUtf8);
  }
  // Every row as "name|in folder|size|created|snapshot|computer" (and "|captures").
  std::vector<std::string> Rows(int columns = 6) {
    std::vector<std::string> rows;
    const auto count = static_cast<int>(SendMessageW(hits_, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
      std::string line;
      for (int column = 0; column < columns; ++column) {
        line += (column ? "|" : "") + Cell(row, column);
      }
      rows.push_back(line);
    }
    return rows;
  }
  void Notify(UINT code, int row, int column = 0) {
    NMITEMACTIVATE item{};
    item.hdr = {hits_, IDC_FIND_LIST, code};
    item.iItem = row;
    item.iSubItem = column;
    SendMessageW(find_, WM_NOTIFY, IDC_FIND_LIST, reinterpret_cast<LPARAM>(&item));
  }

  HWND find_ = nullptr;
  HWND hits_ = nullptr;  // the find window's list
};

TEST_F(FindWindowTest, FindsInEverySnapshotOrTheNewestOnlyAndShowsAHitInTheMainWindow) {
  // One window: the command again brings the same one forward.
  Command(IDM_FIND_IN_SNAPSHOTS);
  EXPECT_EQ(OpenFindWindow(), find_);

  const std::string done = Find(L"REPORT", false);
  EXPECT_EQ(done.rfind("Done: 4 of 4 snapshots, 4 found, 1 could not be read (", 0), 0u) << done;
  EXPECT_NE(done.find("WG.BAD.03.12.2026.12.00.00.mirvaul"), std::string::npos) << done;
  const std::vector<std::string> all = Rows();
  const std::set<std::string> expected = {
      "report.xlsx|\\\\PC1\\Docs|10|1.15.2010|05.12.2026 09:04:05|PC1",
      "Report.XLSX|\\\\PC1\\Docs\\Sub|77|6.3.2009|05.12.2026 09:04:05|PC1",
      "report.xlsx|\\\\PC1\\Docs|9|1.15.2010|04.12.2026 18:00:00|PC1",
      "Q3 report|\\\\PC2\\Public||1.1.2020|05.12.2026 10:00:00|PC2"};
  EXPECT_EQ(std::set<std::string>(all.begin(), all.end()), expected);

  // Sorted by size, largest first: a second click turns the order.
  Notify(LVN_COLUMNCLICK, -1, 2);
  Notify(LVN_COLUMNCLICK, -1, 2);
  EXPECT_EQ(Cell(0, 2), "77");
  EXPECT_EQ(Cell(3, 0), "Q3 report");

  EXPECT_EQ(Find(L"report.xlsx", true).rfind("Done: 3 of 3 snapshots, 2 found", 0), 0u);
  for (const std::string& row : Rows()) {
    EXPECT_EQ(row.find("04.12.2026"), std::string::npos) << row;
  }

  // A double click on the hit in Docs\Sub opens its snapshot there with its row selected.
  int hit = -1;
  for (int row = 0; row < 2; ++row) {
    if (Cell(row, 0) == "Report.XLSX") hit = row;
  }
  ASSERT_GE(hit, 0);
  Select({"WG", "PC2", "05.12.2026 10:00:00"});
  Notify(NM_DBLCLK, hit);
  PumpMessages();
  EXPECT_EQ(reinterpret_cast<HTREEITEM>(SendMessageA(tree_, TVM_GETNEXTITEM, TVGN_CARET, 0)),
            FindTreeItem(tree_, kPc1NewItem));
  EXPECT_EQ(Location(), "\\\\PC1\\Docs\\Sub\\");
  const auto selected = static_cast<int>(
      SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  ASSERT_GE(selected, 0);
  EXPECT_EQ(MainState().fileList->CellText(selected, 0), "Report");
  EXPECT_EQ(MainState().fileList->CellText(selected, 1), "xlsx");
  EXPECT_EQ(SendMessageA(list_, LVM_GETSELECTEDCOUNT, 0, 0), 1);
}

TEST_F(FindWindowTest, StopEndsTheSearchEarly) {
  // Enough snapshots that the search cannot end before Stop, pressed at once, is seen.
  constexpr int kSnapshots = 60;
  std::vector<std::string> entries;
  for (int i = 0; i < 3000; ++i)
    entries.push_back("file" + std::to_string(i) + ".dat;;f;;1;;1.1.2010");
  for (int i = 0; i < kSnapshots; ++i) {
    folder_.Write(
        "LAB.S" + std::to_string(i) + ".01.11.2026.08.00.00.mirvaul",
        SnapshotText("S" + std::to_string(i), "LAB", "01.11.2026 08:00:00", {{"C$", entries}}));
  }
  SetDlgItemTextW(find_, IDC_FIND_NAME, L"file1");
  SendMessageW(find_, WM_COMMAND, IDC_FIND_START, 0);
  SendMessageW(find_, WM_COMMAND, IDC_FIND_STOP, 0);
  ASSERT_TRUE(WaitUntil([&] { return Progress().rfind("Stopped: ", 0) == 0; })) << Progress();
  const std::string stopped = Progress();
  const std::size_t searched = std::stoul(stopped.substr(9));
  EXPECT_LT(searched, static_cast<std::size_t>(kSnapshots + 4)) << stopped;
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(find_, IDC_FIND_STOP)));
  // Esc closes the window.
  SendMessageW(find_, WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(OpenFindWindow(), nullptr);
}

TEST_F(FindWindowTest, EachEntryOnceWithItsCapturesAndWhatIsGoneFromTheNewest) {
  // PC1's captures answered from its index, the others read.
  UpdateIndexes(PlatformFileSystem(), folder_.path(), SnapshotChoice{});
  ASSERT_TRUE(folder_.Exists("wg.pc1.mvindex"));
  const auto show = [&](int choice) {
    SendDlgItemMessageW(find_, IDC_FIND_SHOW, CB_SETCURSEL, static_cast<WPARAM>(choice), 0);
  };
  const std::string once = "|PC1|present 05.12.2026 09:04:05 - 05.12.2026 09:04:05, 1 capture";
  const std::string older = "|PC1|present 04.12.2026 18:00:00 - 04.12.2026 18:00:00, 1 capture";
  show(1);
  EXPECT_EQ(Find(L"report.xlsx", false).rfind("Done: 4 of 4 snapshots, 3 found", 0), 0u);
  std::vector<std::string> rows = Rows(7);
  EXPECT_EQ(std::set<std::string>(rows.begin(), rows.end()),
            (std::set<std::string>{
                "report.xlsx|\\\\PC1\\Docs|10|1.15.2010|05.12.2026 09:04:05" + once,
                "Report.XLSX|\\\\PC1\\Docs\\Sub|77|6.3.2009|05.12.2026 09:04:05" + once,
                "report.xlsx|\\\\PC1\\Docs|9|1.15.2010|04.12.2026 18:00:00" + older}));
  // Gone: the older size of the report is in no newest capture.
  show(2);
  EXPECT_EQ(Find(L"report", false).rfind("Done: 4 of 4 snapshots, 1 found", 0), 0u);
  EXPECT_EQ(Rows(7), (std::vector<std::string>{
                         "report.xlsx|\\\\PC1\\Docs|9|1.15.2010|04.12.2026 18:00:00|PC1|last "
                         "seen 04.12.2026 18:00:00, present 04.12.2026 18:00:00 - 04.12.2026 "
                         "18:00:00, 1 capture"}));
}

}  // namespace
}  // namespace mv::gui
