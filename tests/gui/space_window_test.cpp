// The Space window over the real main window: a folder's items largest first with their
// totals, drilled into and out of by keyboard, the map's top-left item the largest file, and
// an item shown in the main window with its row selected.
#include "ui/win32/space_window.h"
#include "gui_support.h"

namespace mv::gui {
namespace {

std::vector<std::string> Rows(HWND list) {
  std::vector<std::string> rows;
  for (int row = 0; row < static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); ++row) {
    rows.push_back(ListCellText(list, row, 0) + " " + ListCellText(list, row, 1) + " " +
                   ListCellText(list, row, 2) + " " + ListCellText(list, row, 3));
  }
  return rows;
}

class SpaceWindowTest : public MainWindowTest {};

TEST_F(SpaceWindowTest, OpensOnTheFolderDrillsByKeyboardAndShowsAnItemInTheMainWindow) {
  folder_.Write(
      "WG.PC1.05.12.2026.09.04.05.mirvaul",
      SnapshotText("PC1", "WG", "05.12.2026 09:04:05",
                   {{"Docs",
                     {"a.txt;;f;;10;;1.1.2020", "Sub;;d;;0;;1.1.2020", "Zed;;d;;0;;1.1.2020",
                      "Sub\\b.iso;;f;;5000;;1.1.2020", "Sub\\Deep;;d;;0;;1.1.2020",
                      "Sub\\Deep\\c.txt;;f;;100;;1.1.2020", "Zed\\d.txt;;f;;40;;1.1.2020"}}}));
  Open();
  Select({"WG", "PC1", "05.12.2026 09:04:05"});
  MainState().browser->OpenLocation("Docs");
  Command(IDM_SHOW_SPACE);
  HWND space = OwnedBox(window_);
  ASSERT_NE(space, nullptr);
  HWND list = GetDlgItem(space, IDC_SPACE_LIST);
  HWND status = GetDlgItem(space, IDC_SPACE_STATUS);
  const auto showing = [&](const std::string& location) {
    return WaitUntil([&] {
      return WholeWindowText(GetDlgItem(space, IDC_SPACE_LOCATION)) == location &&
             WholeWindowText(status).find(':') != std::string::npos;
    });
  };
  ASSERT_TRUE(showing("\\\\PC1\\Docs"));
  EXPECT_EQ(Rows(list),
            (std::vector<std::string>{"..   ", "Sub 5.0 KB 2 99.0 %", "Zed 40 bytes 1 0.8 %",
                                      "a.txt 10 bytes 1 0.2 %"}));

  // Enter on Sub opens it; the map's top-left pixel is its largest file.
  ListView_SetItemState(list, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  SendMessageW(space, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(showing("\\\\PC1\\Docs\\Sub"));
  EXPECT_EQ(Rows(list),
            (std::vector<std::string>{"..   ", "b.iso 4.9 KB 1 98.0 %", "Deep 100 bytes 1 2.0 %"}));
  SendMessageW(GetDlgItem(space, IDC_SPACE_MAP), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(WholeWindowText(status), "Docs\\Sub\\b.iso: 4.9 KB");

  // Backspace goes up, with the folder left selected.
  NMLVKEYDOWN key{};
  key.hdr = {list, IDC_SPACE_LIST, static_cast<UINT>(LVN_KEYDOWN)};
  key.wVKey = VK_BACK;
  SendMessageW(space, WM_NOTIFY, IDC_SPACE_LIST, reinterpret_cast<LPARAM>(&key));
  ASSERT_TRUE(showing("\\\\PC1\\Docs"));
  EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 1);

  // Zed shown in the main window: its folder listed, its row selected.
  ListView_SetItemState(list, 2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  SendMessageW(space, WM_COMMAND, IDM_SPACE_SHOW_IN_MAIN, 0);
  PumpMessages();
  EXPECT_EQ(Location(), "\\\\PC1\\Docs\\");
  const auto selected = static_cast<int>(
      SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  ASSERT_GE(selected, 0);
  EXPECT_EQ(MainState().fileList->CellText(selected, 0), "Zed");
  DestroyWindow(space);
}

}  // namespace
}  // namespace mv::gui
