// Browsing a snapshots folder in the real window: the library tree, loading the selected
// snapshot, refused files, the detail part, the column sorts, Remove and Expand all.
#include "main_window_fixture.h"

namespace mv::gui {
namespace {

constexpr char kPc1New[] = "WG.PC1.05.12.2026.09.04.05.mirvaul";
constexpr char kPc1Old[] = "WG.PC1.04.12.2026.18.00.00.mirvaul";
constexpr char kPc2[] = "WG.PC2.05.12.2026.10.00.00.mirvaul";
constexpr char kBroken[] = "WG.BAD.03.12.2026.12.00.00.mirvaul";
constexpr char kLab[] = "LAB.SRV.01.11.2026.08.00.00.mirvaul";

class SnapshotBrowsingTest : public MainWindowTest {
 protected:
  void SetUp() override {
    folder_.Write(kPc1New,
                  SnapshotText("PC1", "WG", "05.12.2026 09:04:07",
                               {{"Docs",
                                 {"report.txt;;f;;1024;;1.15.2010", "Sub;;d;;0;;3.2.2009",
                                  "archive.tar.gz;;f;;9;;12.31.2009", "Makefile;;f;;10;;1.1.2010",
                                  "Alpha;;d;;0;;6.3.2009", "big.iso;;f;;5000000000;;2.2.2011",
                                  "Sub\\inner.doc;;f;;77;;6.3.2009"}},
                                {"Music", {"song.mp3;;f;;4096;;7.4.2012"}}}));
    folder_.Write(kPc1Old, SnapshotText("PC1", "WG", "04.12.2026 18:00:01", {{"Old", {}}}));
    folder_.Write(kPc2, SnapshotText("PC2", "WG", "05.12.2026 10:00:02",
                                     {{"Public", {"x.txt;;f;;1;;1.1.2020"}}}));
    folder_.Write(kBroken, "this is not a snapshot\r\n");
    folder_.Write(kLab, SnapshotText("SRV", "LAB", "01.11.2026 08:00:00", {{"C$", {}}}));
    Open();
  }

  std::vector<std::string> Names() { return Column(list_, 0); }
};

TEST_F(SnapshotBrowsingTest, TreeShowsGroupsComputersAndSnapshotsNewestFirst) {
  EXPECT_EQ(TreeLines(tree_),
            (std::vector<std::string>{"WG", "  PC2", "    05.12.2026 10:00:00", "  PC1",
                                      "    05.12.2026 09:04:05", "    04.12.2026 18:00:00", "  BAD",
                                      "    03.12.2026 12:00:00", "LAB", "  SRV",
                                      "    01.11.2026 08:00:00"}));
}

TEST_F(SnapshotBrowsingTest, SelectingASnapshotShowsItsSharesAndEnablesTheSnapshotCommands) {
  Select({"WG", "PC1", "05.12.2026 09:04:05"});
  EXPECT_EQ(Names(), (std::vector<std::string>{"Docs", "Music"}));
  EXPECT_EQ(Column(list_, 1), (std::vector<std::string>{"<SHARE>", "<SHARE>"}));
  EXPECT_EQ(Location(), "\\\\PC1\\");
  EXPECT_EQ(Status(1), "Snapshot Created: 05.12.2026 09:04:07");
  EXPECT_EQ(Status(0), "Mirrorvault 1.0");
  HMENU bar = GetMenu(window_);
  for (UINT command : {IDM_SNAPSHOT_PROPERTIES, IDM_OPEN, IDM_EXPLORE, IDM_FILE_PROPERTIES}) {
    EXPECT_FALSE(MenuItemGrey(bar, command)) << command;
  }

  // Another snapshot replaces it, and a snapshot already shown deeper opens at its shares.
  Select({"WG", "PC2", "05.12.2026 10:00:00"});
  EXPECT_EQ(Names(), (std::vector<std::string>{"Public"}));
  EXPECT_EQ(Location(), "\\\\PC2\\");
  MainState().browser->OpenLocation("Public");
  EXPECT_EQ(Location(), "\\\\PC2\\Public\\");
  Select({"WG", "PC1", "05.12.2026 09:04:05"});
  Select({"WG", "PC2", "05.12.2026 10:00:00"});
  EXPECT_EQ(Names(), (std::vector<std::string>{"Public"}));
  EXPECT_EQ(Location(), "\\\\PC2\\");
}

TEST_F(SnapshotBrowsingTest, GroupAndComputerItemsLeaveTheListAsItWas) {
  Select({"WG", "PC1", "05.12.2026 09:04:05"});
  Select({"WG"});
  Select({"WG", "PC2"});
  EXPECT_EQ(Names(), (std::vector<std::string>{"Docs", "Music"}));
  EXPECT_EQ(Location(), "\\\\PC1\\");
  EXPECT_EQ(Status(1), "Snapshot Created: 05.12.2026 09:04:07");
}

TEST_F(SnapshotBrowsingTest, RefusedFileShowsTheErrorAndChangesNothing) {
  Select({"WG", "PC1", "05.12.2026 09:04:05"});
  MessageBoxAnswerer answer(window_, IDOK);
  Select({"WG", "BAD", "03.12.2026 12:00:00"});
  ASSERT_TRUE(answer.Finish());
  EXPECT_EQ(answer.text(),
            "Could not open '" + folder_.path() + "\\" + kBroken + "'.\nThe file is corrupted.");
  EXPECT_EQ(answer.caption(), "Mirrorvault");
  EXPECT_EQ(Names(), (std::vector<std::string>{"Docs", "Music"}));
  EXPECT_EQ(Location(), "\\\\PC1\\");
  EXPECT_EQ(Status(1), "Snapshot Created: 05.12.2026 09:04:07");

  // A file that vanished since the tree was built is refused the same way.
  DeleteFileA((folder_.path() + "\\" + kPc2).c_str());
  MessageBoxAnswerer again(window_, IDOK);
  Select({"WG", "PC2", "05.12.2026 10:00:00"});
  ASSERT_TRUE(again.Finish());
  EXPECT_NE(again.text().find(kPc2), std::string::npos);
  EXPECT_EQ(Location(), "\\\\PC1\\");
}

TEST_F(SnapshotBrowsingTest, DetailPartDescribesTheSelectedRow) {
  Select({"WG", "PC1", "05.12.2026 09:04:05"});
  SelectRow(list_, 0, true);
  EXPECT_EQ(Status(1), "Docs Type: <SHARE>");
  SelectRow(list_, 0, false);
  EXPECT_EQ(Status(1), "Snapshot Created: 05.12.2026 09:04:07");

  MainState().browser->OpenLocation("Docs");
  EXPECT_EQ(Location(), "\\\\PC1\\Docs\\");
  auto rowOf = [&](const std::string& name) {
    const std::vector<std::string> names = Names();
    return static_cast<int>(std::find(names.begin(), names.end(), name) - names.begin());
  };
  SelectRow(list_, rowOf("report"), true);
  EXPECT_EQ(Status(1), "report Type: txt Size: 1024 Created: 1.15.2010");
  SelectRow(list_, rowOf("Sub"), true);
  EXPECT_EQ(Status(1), "Sub Type: <DIR> Created: 3.2.2009");
  SelectRow(list_, rowOf("Makefile"), true);
  EXPECT_EQ(Status(1), "Makefile Size: 10 Created: 1.1.2010");
}

TEST_F(SnapshotBrowsingTest, ColumnClicksSortEachColumnBothWaysWithDirectoriesFirst) {
  Select({"WG", "PC1", "05.12.2026 09:04:05"});
  MainState().browser->OpenLocation("Docs");
  // After a fill: Name ascending, ".." first, directories above files.
  EXPECT_EQ(Names(), (std::vector<std::string>{"..", "Alpha", "Sub", "archive.tar", "big",
                                               "Makefile", "report"}));
  ClickColumn(0);  // Name descending: ".." still first
  EXPECT_EQ(Names(), (std::vector<std::string>{"..", "Sub", "Alpha", "report", "Makefile", "big",
                                               "archive.tar"}));
  ClickColumn(2);  // Size descending: largest file first after the directories
  EXPECT_EQ(Names(), (std::vector<std::string>{"..", "Sub", "Alpha", "big", "report", "Makefile",
                                               "archive.tar"}));
  ClickColumn(2);  // Size ascending: 9 before 10, above 4 GiB last
  EXPECT_EQ(Names(), (std::vector<std::string>{"..", "Sub", "Alpha", "archive.tar", "Makefile",
                                               "report", "big"}));
  ClickColumn(3);  // Date descending
  EXPECT_EQ(Column(list_, 3), (std::vector<std::string>{"", "6.3.2009", "3.2.2009", "2.2.2011",
                                                        "1.15.2010", "1.1.2010", "12.31.2009"}));
  ClickColumn(3);  // Date ascending: 12.31.2009 before 1.1.2010
  EXPECT_EQ(Column(list_, 3), (std::vector<std::string>{"", "3.2.2009", "6.3.2009", "12.31.2009",
                                                        "1.1.2010", "1.15.2010", "2.2.2011"}));
  ClickColumn(1);  // Type descending
  EXPECT_EQ(Column(list_, 1),
            (std::vector<std::string>{"<DIR>", "<DIR>", "<DIR>", "txt", "iso", "gz", ""}));
  ClickColumn(1);  // Type ascending
  EXPECT_EQ(Column(list_, 1),
            (std::vector<std::string>{"<DIR>", "<DIR>", "<DIR>", "", "gz", "iso", "txt"}));
  // The chosen order survives going up and loading another snapshot.
  MainState().browser->OpenLocation("..");
  Select({"WG", "PC1", "04.12.2026 18:00:00"});
  EXPECT_EQ(MainState().browser->lastSortColumn(), 1);
}

TEST_F(SnapshotBrowsingTest, RemoveDeletesTheSelectedSnapshotsAfterYesOnly) {
  Select({"WG", "PC1", "05.12.2026 09:04:05"});
  {
    MessageBoxAnswerer answer(window_, IDNO);
    Command(IDM_REMOVE);
    ASSERT_TRUE(answer.Finish());
    EXPECT_EQ(answer.text(), "Are you sure want to delete selected snapshots?");
    EXPECT_EQ(answer.caption(), "Mirrorvault");
  }
  EXPECT_TRUE(folder_.Exists(kPc1New));
  EXPECT_NE(FindTreeItem(tree_, {"WG", "PC1", "05.12.2026 09:04:05"}), nullptr);

  {
    MessageBoxAnswerer answer(window_, IDYES);
    Command(IDM_REMOVE);
    ASSERT_TRUE(answer.Finish());
  }
  EXPECT_FALSE(folder_.Exists(kPc1New));
  EXPECT_TRUE(folder_.Exists(kPc1Old));
  EXPECT_EQ(FindTreeItem(tree_, {"WG", "PC1", "05.12.2026 09:04:05"}), nullptr);
  // The list is not cleared (the tree may have moved its selection on and loaded that).
  EXPECT_GT(RowCount(list_), 0);

  // The Delete key in the tree asks the same; a group takes all its computers' files.
  Select({"WG"});
  {
    MessageBoxAnswerer answer(window_, IDYES);
    NMTVKEYDOWN key{};
    key.hdr.hwndFrom = tree_;
    key.hdr.idFrom = IDC_SNAPSHOT_TREE;
    key.hdr.code = TVN_KEYDOWN;
    key.wVKey = VK_DELETE;
    SendMessageA(window_, WM_NOTIFY, IDC_SNAPSHOT_TREE, reinterpret_cast<LPARAM>(&key));
    ASSERT_TRUE(answer.Finish());
  }
  for (const char* name : {kPc1Old, kPc2, kBroken}) EXPECT_FALSE(folder_.Exists(name)) << name;
  EXPECT_TRUE(folder_.Exists(kLab));
  EXPECT_EQ(TreeLines(tree_),
            (std::vector<std::string>{"LAB", "  SRV", "    01.11.2026 08:00:00"}));
}

TEST_F(SnapshotBrowsingTest, RemoveWithNothingSelectedAsksNothing) {
  // The tree selects its first item when it takes the focus; take the selection away.
  SendMessageA(tree_, TVM_SELECTITEM, TVGN_CARET, 0);
  ASSERT_EQ(SendMessageA(tree_, TVM_GETNEXTITEM, TVGN_CARET, 0), 0);
  MessageBoxAnswerer answer(window_, IDYES);
  Command(IDM_REMOVE);
  EXPECT_FALSE(answer.Stop());
  EXPECT_TRUE(folder_.Exists(kPc1New));
}

TEST_F(SnapshotBrowsingTest, ExpandAllAndCollapseAllTakeGroupsAndComputers) {
  Command(IDM_EXPAND_ALL);
  for (auto path : std::vector<std::vector<std::string>>{
           {"WG"}, {"WG", "PC1"}, {"WG", "PC2"}, {"WG", "BAD"}, {"LAB"}, {"LAB", "SRV"}}) {
    EXPECT_TRUE(TreeExpanded(tree_, FindTreeItem(tree_, path))) << path.back();
  }
  Command(IDM_COLLAPSE_ALL);
  for (auto path :
       std::vector<std::vector<std::string>>{{"WG"}, {"WG", "PC1"}, {"LAB"}, {"LAB", "SRV"}}) {
    EXPECT_FALSE(TreeExpanded(tree_, FindTreeItem(tree_, path))) << path.back();
  }
}

}  // namespace
}  // namespace mv::gui
