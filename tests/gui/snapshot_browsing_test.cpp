// Browsing a snapshots folder in the real window: the library tree, loading the selected
// snapshot, refused files, the detail part, the column sorts, Remove and Expand all.
#include <tuple>

#include "gui_support.h"
#include "ui/win32/main_window_snapshots.h"

namespace mv::gui {
namespace {

constexpr char kPc1New[] = "WG.PC1.05.12.2026.09.04.05.mirvaul";
constexpr char kPc1Old[] = "WG.PC1.04.12.2026.18.00.00.mirvaul";
constexpr char kPc2[] = "WG.PC2.05.12.2026.10.00.00.mirvaul";
constexpr char kBroken[] = "WG.BAD.03.12.2026.12.00.00.mirvaul";
constexpr char kLab[] = "LAB.SRV.01.11.2026.08.00.00.mirvaul";
const std::vector<std::string> kPc1NewItem = {"WG", "PC1", "05.12.2026 09:04:05"};
constexpr char kPc1NewCreated[] = "Snapshot Created: 05.12.2026 09:04:07";

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
};

TEST_F(SnapshotBrowsingTest, SelectingASnapshotLoadsItOrShowsWhyNot) {
  EXPECT_EQ(TreeLines(tree_),
            (std::vector<std::string>{"WG", "  PC2", "    05.12.2026 10:00:00", "  PC1",
                                      "    05.12.2026 09:04:05", "    04.12.2026 18:00:00", "  BAD",
                                      "    03.12.2026 12:00:00", "LAB", "  SRV",
                                      "    01.11.2026 08:00:00"}));
  Select(kPc1NewItem);
  EXPECT_EQ(Names(), (std::vector<std::string>{"Docs", "Music"}));
  EXPECT_EQ(Location(), "\\\\PC1\\");
  EXPECT_EQ(Status(1), kPc1NewCreated);
  HMENU bar = GetMenu(window_);
  for (UINT command : {IDM_SNAPSHOT_PROPERTIES, IDM_OPEN, IDM_EXPLORE, IDM_FILE_PROPERTIES}) {
    EXPECT_FALSE(MenuItemGrey(bar, command)) << command;
  }
  // Group and computer items leave the list as it was.
  Select({"WG"});
  Select({"WG", "PC2"});
  EXPECT_EQ(Location(), "\\\\PC1\\");

  // Another snapshot replaces it, and a snapshot already shown deeper opens at its shares.
  MainState().browser->OpenLocation("Docs");
  Select({"WG", "PC2", "05.12.2026 10:00:00"});
  EXPECT_EQ(Names(), (std::vector<std::string>{"Public"}));
  EXPECT_EQ(Location(), "\\\\PC2\\");

  // A refused file shows the error and changes nothing.
  MessageBoxAnswerer answer(window_, IDOK);
  Select({"WG", "BAD", "03.12.2026 12:00:00"});
  ASSERT_TRUE(answer.Finish());
  EXPECT_EQ(answer.text,
            "Could not open '" + folder_.path() + "\\" + kBroken + "'.\nThe file is corrupted.");
  EXPECT_EQ(answer.caption, "Mirrorvault");
  EXPECT_EQ(Names(), (std::vector<std::string>{"Public"}));
  EXPECT_EQ(Status(1), "Snapshot Created: 05.12.2026 10:00:02");
}

TEST_F(SnapshotBrowsingTest, RowSelectionAndColumnClicksReachTheDetailPartAndTheSort) {
  Select(kPc1NewItem);
  ListView_SetItemState(list_, 0, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(Status(1), "Docs Type: <SHARE>");
  ListView_SetItemState(list_, 0, 0, LVIS_SELECTED);
  EXPECT_EQ(Status(1), kPc1NewCreated);

  MainState().browser->OpenLocation("Docs");
  EXPECT_EQ(Names(), (std::vector<std::string>{"..", "Alpha", "Sub", "archive.tar", "big",
                                               "Makefile", "report"}));
  ClickColumn(0);  // Name descending: ".." still first
  EXPECT_EQ(Names(), (std::vector<std::string>{"..", "Sub", "Alpha", "report", "Makefile", "big",
                                               "archive.tar"}));
  ClickColumn(2);  // Size descending: above 4 GiB first
  EXPECT_EQ(Names(), (std::vector<std::string>{"..", "Sub", "Alpha", "big", "report", "Makefile",
                                               "archive.tar"}));
}

// A large folder fills without a status update per row; the list shows the rows it holds,
// and a sort takes the selection along with its row.
int gStatusTexts = 0;
WNDPROC gStatusProc = nullptr;
LRESULT CALLBACK CountStatusTexts(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == SB_SETTEXTA) ++gStatusTexts;
  return CallWindowProcA(gStatusProc, window, message, wParam, lParam);
}

TEST_F(SnapshotBrowsingTest, ALargeFolderFillsAtOnceAndSortsWithItsSelection) {
  std::vector<std::string> lines = {"Big;;d;;0;;1.1.2010"};
  for (int i = 0; i < 3000; ++i)
    lines.push_back("Big\\f" + std::to_string(i) + ".txt;;f;;" + std::to_string(i) + ";;1.1.2010");
  folder_.Write("WG.PC9.06.12.2026.09.00.00.mirvaul",
                SnapshotText("PC9", "WG", "06.12.2026 09:00:00", {{"Data", lines}}));
  RebuildSnapshotTreeOfWindow();
  Select({"WG", "PC9", "06.12.2026 09:00:00"});
  MainState().browser->OpenLocation("Data");
  gStatusProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(status_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountStatusTexts)));
  MainState().browser->OpenLocation("Big");
  SetWindowLongPtrA(status_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gStatusProc));
  EXPECT_LE(gStatusTexts, 4);
  ASSERT_EQ(ListView_GetItemCount(list_), 3001);
  char text[64] = "";
  ListView_GetItemText(list_, 2, 0, text, sizeof text);
  EXPECT_STREQ(text, "f1");  // Name ascending: .., f0, f1, f10, ...

  ListView_SetItemState(list_, -1, 0, LVIS_SELECTED);  // ".." was selected by the fill
  ListView_SetItemState(list_, 2, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(Status(1), "f1 Type: txt Size: 1 Created: 1.1.2010");
  ClickColumn(2);  // Size descending: f1 is next to last
  const int selected = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
  EXPECT_EQ(selected, 2999);
  ListView_GetItemText(list_, selected, 2, text, sizeof text);
  EXPECT_STREQ(text, "1");
  EXPECT_EQ(ListView_GetSelectedCount(list_), 1u);

  // Typing a name: the virtual list asks the window, which searches on from the row given
  // (case ignored) and round from the top.
  LVFINDINFOA find{};
  for (const auto& [start, flags, typed, found] :
       {std::tuple{10, LVFI_PARTIAL, "F19", "f1999"},
        {2500, LVFI_STRING | LVFI_WRAP, "F2999", "f2999"}}) {
    find.flags = flags;
    find.psz = typed;
    ListView_GetItemText(list_, ListView_FindItem(list_, start, &find), 0, text, sizeof text);
    EXPECT_STREQ(text, found) << typed;
  }
}

TEST_F(SnapshotBrowsingTest, RemoveDeletesTheSelectedSnapshotsAfterYesOnly) {
  auto remove = [&](int button, const std::function<void()>& ask) {
    MessageBoxAnswerer answer(window_, button);
    ask();
    return answer.Stop() ? answer.text : "";
  };
  // The tree selects its first item when it takes the focus; with no selection nothing asks.
  SendMessageA(tree_, TVM_SELECTITEM, TVGN_CARET, 0);
  EXPECT_EQ(remove(IDYES, [&] { Command(IDM_REMOVE); }), "");

  Select(kPc1NewItem);
  EXPECT_EQ(remove(IDNO, [&] { Command(IDM_REMOVE); }),
            "Are you sure want to delete selected snapshots?");
  EXPECT_TRUE(folder_.Exists(kPc1New));
  remove(IDYES, [&] { Command(IDM_REMOVE); });
  EXPECT_FALSE(folder_.Exists(kPc1New));
  EXPECT_EQ(FindTreeItem(tree_, kPc1NewItem), nullptr);

  // The Delete key in the tree asks the same; a group takes all its computers' files, the
  // one shown among them, which is browsed on from the file it holds until it is let go.
  Select({"WG", "PC2", "05.12.2026 10:00:00"});
  Select({"WG"});
  remove(IDYES, [&] {
    NMTVKEYDOWN key{};
    key.hdr = {tree_, IDC_SNAPSHOT_TREE, static_cast<UINT>(TVN_KEYDOWN)};
    key.wVKey = VK_DELETE;
    Notify(key);
  });
  MainState().browser->OpenLocation("Public");
  EXPECT_EQ(Names(), (std::vector<std::string>{"..", "x"}));
  Select({"LAB", "SRV", "01.11.2026 08:00:00"});
  for (const char* name : {kPc1Old, kPc2, kBroken}) EXPECT_FALSE(folder_.Exists(name)) << name;
  EXPECT_EQ(TreeLines(tree_),
            (std::vector<std::string>{"LAB", "  SRV", "    01.11.2026 08:00:00"}));
}

TEST_F(SnapshotBrowsingTest, ExpandAllAndCollapseAllTakeGroupsAndComputers) {
  const std::vector<std::vector<std::string>> paths = {{"WG"}, {"WG", "PC1"}, {"LAB", "SRV"}};
  for (int command : {IDM_EXPAND_ALL, IDM_COLLAPSE_ALL}) {
    Command(command);
    for (const auto& path : paths) {
      const auto item = reinterpret_cast<WPARAM>(FindTreeItem(tree_, path));
      EXPECT_EQ(SendMessageA(tree_, TVM_GETITEMSTATE, item, TVIS_EXPANDED) != 0,
                command == IDM_EXPAND_ALL)
          << path.back();
    }
  }
}

}  // namespace
}  // namespace mv::gui
