// The main window as a user meets it: created for real under Wine, driven with the
// messages a user's actions cause, and read back from its controls.

#include <fstream>

#include "app/app_paths.h"
#include "gui_support.h"

namespace mv::gui {
namespace {

TEST_F(MainWindowTest, OpensWithItsControlsAndTheSnapshotCommandsGreyUntilTheFirstLoad) {
  Open();
  EXPECT_EQ(WholeWindowText(window_), "Mirrorvault");
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(window_, IDC_SPLITTER)));
  EXPECT_EQ(Status(0), "Mirrorvault 1.0");
  EXPECT_EQ(ImageList_GetImageCount(ListView_GetImageList(list_, LVSIL_SMALL)), 2);
  EXPECT_EQ(ImageList_GetImageCount(TreeView_GetImageList(tree_, TVSIL_NORMAL)), 3);
  EXPECT_TRUE(SendMessageA(list_, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT);

  EXPECT_FALSE(MenuItemGrey(MainState().networkMenu, IDM_SCAN_NETWORK));
  EXPECT_TRUE(MenuItemGrey(MainState().networkMenu, IDM_STOP));
  HMENU bar = GetMenu(window_);
  EXPECT_TRUE(MenuItemGrey(bar, IDM_SNAPSHOT_PROPERTIES));
  for (UINT command : {IDM_OPEN, IDM_EXPLORE, IDM_FILE_PROPERTIES}) {
    EXPECT_TRUE(MenuItemGrey(bar, command)) << command;
    // The list's context menu never greys them.
    EXPECT_FALSE(MenuItemGrey(MainState().listMenu, command)) << command;
  }
  EXPECT_FALSE(MenuItemGrey(bar, IDM_TAKE_SNAPSHOT));
}

TEST_F(MainWindowTest, ResizeAndSplitterDragLayTheWindowOutWithinTheLimits) {
  // The splitter, tree, location and list sit as the layout puts them for the current client
  // area and splitter position, the status bar along the bottom.
  auto expectLaidOut = [&] {
    RECT client{};
    GetClientRect(window_, &client);
    const RECT bar = Rect(IDC_STATUS_BAR), splitter = Rect(IDC_SPLITTER);
    const RECT tree = Rect(IDC_SNAPSHOT_TREE), list = Rect(IDC_FILE_LIST),
               location = Rect(IDC_LOCATION);
    EXPECT_EQ(bar.bottom, client.bottom);
    EXPECT_EQ(tree.right - tree.left, splitter.left - 4);
    EXPECT_EQ(tree.bottom, bar.top);
    EXPECT_EQ(list.bottom, bar.top);
    EXPECT_EQ(list.left, splitter.right + 2);
    EXPECT_EQ(location.left, splitter.right + 2);
    EXPECT_EQ(list.right, client.right);
    EXPECT_EQ(location.right, client.right);
  };
  Open();
  SetWindowPos(window_, nullptr, 40, 30, 1000, 600, SWP_NOZORDER);
  PumpMessages(20);
  expectLaidOut();
  RECT frame{};
  GetWindowRect(window_, &frame);

  // Press over the hidden bar, move the cursor, release: one timer tick moves the bar and,
  // finding the button up, ends the drag and lays the window out. The cursor clip is
  // released first, as when another window takes the foreground during a drag.
  auto drag = [&](int screenX) {
    SendMessageA(window_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(Rect(IDC_SPLITTER).left + 1, 100));
    EXPECT_EQ(MainState().dragState, kDragging);
    ClipCursor(nullptr);
    SetCursorPos(screenX, frame.top + 200);
    SendMessageA(window_, WM_TIMER, kSplitterTimer, 0);
    EXPECT_EQ(MainState().dragState, kDragIdle);
    expectLaidOut();
    POINT at{screenX, 0};
    ScreenToClient(window_, &at);
    return Rect(IDC_SPLITTER).left - at.x;
  };
  EXPECT_EQ(drag(frame.left + 400), 0);
  EXPECT_EQ(drag(frame.left + 20), 180);  // held 200 pixels from the window's left edge
}

TEST_F(MainWindowTest, MenuCommandsReachTheShellAndCloseOrExitEndsTheProgram) {
  // The help path as start-up derives it for the built program: the build put help.chm there.
  const std::string help = HelpFilePathFor(BesideTests("..\\..\\app\\Mirrorvault.exe"));
  Open([&](MainWindowSetup& setup) { setup.helpFilePath = help; });
  for (int command : {IDM_HELP, IDM_WEB_SITE, IDM_CONTACT_SUPPORT, IDM_FEEDBACK}) Command(command);
  const std::string support = "https://www.mirrorvault.example/support.php";
  EXPECT_EQ(shell_.opened,
            (std::vector<std::string>{help, "https://www.mirrorvault.example/", support, support}));
  char signature[4] = {};
  std::ifstream(help, std::ios::binary).read(signature, sizeof signature);
  EXPECT_EQ(std::string(signature, sizeof signature), "ITSF") << help;

  SendMessageA(window_, WM_CLOSE, 0, 0);
  Command(IDM_EXIT);
  Command(IDCANCEL);
  EXPECT_EQ(exits_, 2);
}

}  // namespace
}  // namespace mv::gui
