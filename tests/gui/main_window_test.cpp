// The main window as a user meets it: created for real under Wine, driven with the
// messages a user's actions cause, and read back from its controls.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <thread>

#include "capture/activity_state.h"
#include "core/app_paths.h"
#include "main_window_fixture.h"
#include "res/resource_ids.h"

namespace mv::gui {
namespace {

// The splitter, tree, location and list sit as the layout puts them for the current client
// area and splitter position.
void ExpectLaidOut(HWND window, HWND status) {
  RECT client{};
  GetClientRect(window, &client);
  RECT bar{};
  GetWindowRect(status, &bar);
  const int height = client.bottom - (bar.bottom - bar.top);
  const RECT splitter = ClientRectOf(window, GetDlgItem(window, IDC_SPLITTER));
  const RECT tree = ClientRectOf(window, GetDlgItem(window, IDC_SNAPSHOT_TREE));
  const RECT list = ClientRectOf(window, GetDlgItem(window, IDC_FILE_LIST));
  const RECT location = ClientRectOf(window, GetDlgItem(window, IDC_LOCATION));
  EXPECT_EQ(tree.right - tree.left, splitter.left - 4);
  EXPECT_EQ(tree.bottom, height);
  EXPECT_EQ(list.left, splitter.right + 2);
  EXPECT_EQ(list.right, client.right);
  EXPECT_EQ(list.bottom, height);
  EXPECT_EQ(location.left, splitter.right + 2);
  EXPECT_EQ(location.right, client.right);
  EXPECT_EQ(splitter.top, 0);
}

TEST_F(MainWindowTest, OpensWithItsControlsColumnsStatusBarAndImageLists) {
  Open();
  EXPECT_EQ(WindowText(window_), "Mirrorvault");
  EXPECT_EQ(WindowText(GetDlgItem(window_, IDC_LOCATION_LABEL)), "Location");
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(window_, IDC_SPLITTER)));
  ASSERT_NE(status_, nullptr);

  const char* headers[] = {"Name", "Type", "Size", "Date Created"};
  const int widths[] = {250, 80, 80, 90};
  for (int c = 0; c < 4; ++c) {
    char text[64] = {};
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = text;
    column.cchTextMax = sizeof text;
    SendMessageA(list_, LVM_GETCOLUMNA, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
    EXPECT_STREQ(text, headers[c]);
    EXPECT_EQ(column.cx, widths[c]);
  }

  int edges[2] = {};
  EXPECT_EQ(SendMessageA(status_, SB_GETPARTS, 2, reinterpret_cast<LPARAM>(edges)), 2);
  EXPECT_EQ(edges[0], 250);
  EXPECT_EQ(edges[1], 11150);
  EXPECT_EQ(Status(0), "Mirrorvault 1.0");

  auto images = [](HWND control, UINT message, WPARAM which) {
    return ImageList_GetImageCount(
        reinterpret_cast<HIMAGELIST>(SendMessageA(control, message, which, 0)));
  };
  EXPECT_EQ(images(list_, LVM_GETIMAGELIST, LVSIL_SMALL), 2);
  EXPECT_EQ(images(tree_, TVM_GETIMAGELIST, TVSIL_NORMAL), 3);
  EXPECT_TRUE(SendMessageA(list_, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT);

  // The network menu follows the idle state from the start.
  EXPECT_FALSE(MenuItemGrey(MainState().networkMenu, IDM_SCAN_NETWORK));
  EXPECT_TRUE(MenuItemGrey(MainState().networkMenu, IDM_STOP));
}

TEST_F(MainWindowTest, SnapshotCommandsAreGreyInTheMenuBarUntilTheFirstLoad) {
  Open();
  HMENU bar = GetMenu(window_);
  for (UINT command : {IDM_SNAPSHOT_PROPERTIES, IDM_OPEN, IDM_EXPLORE, IDM_FILE_PROPERTIES}) {
    EXPECT_TRUE(MenuItemGrey(bar, command)) << command;
  }
  // The same commands in the list context menu are never grey.
  for (UINT command : {IDM_OPEN, IDM_EXPLORE, IDM_FILE_PROPERTIES}) {
    EXPECT_FALSE(MenuItemGrey(MainState().listMenu, command)) << command;
  }
  for (UINT command : {IDM_TAKE_SNAPSHOT, IDM_REMOVE, IDM_SEARCH, IDM_SETTINGS, IDM_EXIT}) {
    EXPECT_FALSE(MenuItemGrey(bar, command)) << command;
  }
}

TEST_F(MainWindowTest, LayoutFollowsTheWindowSize) {
  Open();
  ExpectLaidOut(window_, status_);
  for (SIZE size : {SIZE{1000, 640}, SIZE{700, 420}, SIZE{1200, 760}}) {
    SetWindowPos(window_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
    PumpMessages(20);
    ExpectLaidOut(window_, status_);
    RECT client{};
    GetClientRect(window_, &client);
    RECT bar{};
    GetWindowRect(status_, &bar);
    EXPECT_EQ(ClientRectOf(window_, status_).bottom, client.bottom);
    EXPECT_EQ(ClientRectOf(window_, status_).right, client.right);
  }
}

TEST_F(MainWindowTest, SplitterDragMovesTheSplitWithinItsLimits) {
  Open();
  SetWindowPos(window_, nullptr, 40, 30, 1000, 600, SWP_NOZORDER);
  PumpMessages(20);
  RECT frame{};
  GetWindowRect(window_, &frame);

  // Press over the hidden bar, move the cursor, release: one timer tick moves the bar and,
  // finding the button up, ends the drag and lays the window out. The cursor clip is
  // released first, as when another window takes the foreground during a drag.
  auto drag = [&](int screenX) {
    const RECT bar = Rect(IDC_SPLITTER);
    const LPARAM at = MAKELPARAM(bar.left + 1, 100);
    SendMessageA(window_, WM_LBUTTONDOWN, MK_LBUTTON, at);
    EXPECT_EQ(MainState().dragState, kDragging);
    ClipCursor(nullptr);
    SetCursorPos(screenX, frame.top + 200);
    SendMessageA(window_, WM_TIMER, kSplitterTimer, 0);
    EXPECT_EQ(MainState().dragState, kDragIdle);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(window_, IDC_SPLITTER)));
  };

  drag(frame.left + 400);
  POINT expected{frame.left + 400, 0};
  ScreenToClient(window_, &expected);
  EXPECT_EQ(Rect(IDC_SPLITTER).left, expected.x);
  ExpectLaidOut(window_, status_);

  // Too far left or right: the bar is held 200 pixels from the left edge and 250 from the
  // right edge of the window.
  drag(frame.left + 20);
  POINT left{frame.left + 200, 0};
  ScreenToClient(window_, &left);
  EXPECT_EQ(Rect(IDC_SPLITTER).left, left.x);
  ExpectLaidOut(window_, status_);

  drag(frame.right - 5);
  POINT right{frame.right - 250, 0};
  ScreenToClient(window_, &right);
  EXPECT_LE(Rect(IDC_SPLITTER).left, right.x);
  EXPECT_GE(Rect(IDC_SPLITTER).left, right.x - 1);
  ExpectLaidOut(window_, status_);
}

TEST_F(MainWindowTest, PressWithShiftOrCtrlOverTheSplitterStartsNoDrag) {
  Open();
  const RECT bar = Rect(IDC_SPLITTER);
  const LPARAM at = MAKELPARAM(bar.left + 1, 50);
  SendMessageA(window_, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, at);
  EXPECT_EQ(MainState().dragState, kDragIdle);
  SendMessageA(window_, WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, at);
  EXPECT_EQ(MainState().dragState, kDragIdle);
  // Beside the bar nothing starts either.
  SendMessageA(window_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(bar.right + 30, 50));
  EXPECT_EQ(MainState().dragState, kDragIdle);
  EXPECT_EQ(Rect(IDC_SPLITTER).left, bar.left);
}

TEST_F(MainWindowTest, HelpAndWebCommandsGoToTheShell) {
  // The help path as start-up derives it for the built program: the build put help.chm there.
  const std::string help = HelpFilePathFor(BesideTests("..\\..\\app\\Mirrorvault.exe"));
  Open([&](MainWindowSetup& setup) { setup.helpFilePath = help; });
  Command(IDM_HELP);
  Command(IDM_WEB_SITE);
  Command(IDM_CONTACT_SUPPORT);
  Command(IDM_FEEDBACK);
  ASSERT_EQ(shell_.opened.size(), 4u);
  EXPECT_EQ(shell_.opened[0], help);
  char signature[4] = {};
  std::ifstream(shell_.opened[0], std::ios::binary).read(signature, sizeof signature);
  EXPECT_EQ(std::string(signature, sizeof signature), "ITSF") << shell_.opened[0];
  EXPECT_EQ(shell_.opened[1], "https://www.mirrorvault.example/");
  EXPECT_EQ(shell_.opened[2], "https://www.mirrorvault.example/support.php");
  EXPECT_EQ(shell_.opened[3], shell_.opened[2]);
}

TEST_F(MainWindowTest, ActivityStateFromAWorkerThreadReachesTheStatusBarAndTheNetworkMenu) {
  Open();
  // The worker's requests are messages to this thread, so it pumps while the worker runs.
  auto fromWorker = [&](std::int32_t request) {
    std::atomic<bool> done{false};
    std::thread worker([&] {
      SetActivityState(request);
      done.store(true);
    });
    while (!done.load()) PumpMessages(5);
    worker.join();
  };
  HMENU network = MainState().networkMenu;
  fromWorker(kScanning);
  EXPECT_EQ(Status(0), "Scanning Network...");
  EXPECT_TRUE(MenuItemGrey(network, IDM_SCAN_NETWORK));
  EXPECT_FALSE(MenuItemGrey(network, IDM_STOP));
  fromWorker(kStopRequest);
  EXPECT_EQ(Status(0), "Stop Scanning Network...");
  EXPECT_FALSE(MenuItemGrey(network, IDM_STOP));  // the task that winds down restores them
  fromWorker(kIdle);
  EXPECT_EQ(Status(0), "Mirrorvault 1.0");
  EXPECT_FALSE(MenuItemGrey(network, IDM_SCAN_NETWORK));
  EXPECT_TRUE(MenuItemGrey(network, IDM_STOP));
  fromWorker(kCapturing);
  EXPECT_EQ(Status(0), "Taking Snapshots...");
  SetActivityState(kIdle);
}

TEST_F(MainWindowTest, CloseBoxAndExitEndTheProgram) {
  Open();
  SendMessageA(window_, WM_CLOSE, 0, 0);
  EXPECT_EQ(exits_, 1);
  Command(IDM_EXIT);
  EXPECT_EQ(exits_, 2);
  // Esc (command 2) is ignored.
  Command(IDCANCEL);
  EXPECT_EQ(exits_, 2);
}

}  // namespace
}  // namespace mv::gui
