// The Space window over the real main window: a folder's items largest first with their
// totals, drilled into and out of by keyboard, the map's top-left item the largest file, and
// an item shown in the main window with its row selected.
#include "ui/win32/space_window.h"
#include "gui_support.h"
#include "ui/win32/growth_window.h"

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

TEST_F(SpaceWindowTest, GrowthChartsAFolderOverItsCapturesAndListsWhereItGrew) {
  const std::vector<std::pair<const char*, std::vector<std::string>>> captures = {
      {"01.12.2026.09.00.00", {"a.txt;;f;;10;;1.1.2020"}},
      {"03.12.2026.09.00.00",
       {"a.txt;;f;;10;;1.1.2020", "Sub;;d;;0;;1.1.2020", "Sub\\x.txt;;f;;500;;1.1.2020"}},
      {"05.12.2026.09.00.00",
       {"a.txt;;f;;10;;1.1.2020", "Sub;;d;;0;;1.1.2020", "Sub\\x.txt;;f;;700;;1.1.2020",
        "New;;d;;0;;1.1.2020", "New\\big.bin;;f;;4000;;1.1.2020", "New\\b.txt;;f;;1;;1.1.2020"}}};
  for (const auto& [time, lines] : captures) {
    std::string created = std::string(time).substr(0, 10) + " " + std::string(time).substr(11);
    std::replace(created.begin() + 11, created.end(), '.', ':');
    folder_.Write(std::string("WG.PC1.") + time + ".mirvaul",
                  SnapshotText("PC1", "WG", created, {{"Docs", lines}, {"Other", {}}}));
  }
  Open();
  Select({"WG", "PC1", "05.12.2026 09:00:00"});
  MainState().browser->OpenLocation("Docs");
  Command(IDM_SHOW_GROWTH);
  HWND growth = OwnedBox(window_, "Growth");
  ASSERT_NE(growth, nullptr);
  HWND list = GetDlgItem(growth, IDC_GROWTH_LIST);
  HWND status = GetDlgItem(growth, IDC_GROWTH_STATUS);
  // The last two captures compared: where the folder grew, most first.
  ASSERT_TRUE(WaitUntil([&] { return SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 2; }))
      << WholeWindowText(status);
  EXPECT_EQ(Rows(list),
            (std::vector<std::string>{"Docs\\New +3.9 KB 2 0", "Docs\\Sub +200 bytes 0 0"}));
  EXPECT_EQ(WholeWindowText(GetDlgItem(growth, IDC_GROWTH_FROM)), "03.12.2026 09:00:00");
  // The chart's cursor, by keyboard, from capture to capture.
  HWND chart = GetDlgItem(growth, IDC_GROWTH_CHART);
  SendMessageW(chart, WM_KEYDOWN, VK_HOME, 0);
  EXPECT_EQ(WholeWindowText(status), "01.12.2026 09:00:00: 10 bytes in 1 file, 0 folders");
  SendMessageW(chart, WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(WholeWindowText(status), "03.12.2026 09:00:00: 510 bytes in 2 files, 1 folder");
  // Another pair: the first capture to the last.
  SendMessageW(GetDlgItem(growth, IDC_GROWTH_FROM), CB_SETCURSEL, 0, 0);
  SendMessageW(growth, WM_COMMAND, MAKEWPARAM(IDC_GROWTH_FROM, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(GetDlgItem(growth, IDC_GROWTH_FROM)));
  ASSERT_TRUE(WaitUntil(
      [&] { return ListCellText(list, 1, 0) == "Docs\\Sub" && ListCellText(list, 1, 2) == "1"; }));
  DestroyWindow(growth);
}

}  // namespace
}  // namespace mv::gui
