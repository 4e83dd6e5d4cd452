// The main window's creation: threads, image lists, columns, status bar, the first layout,
// the snapshot tree, the menus, the first-run and update checks, the timer and the settings,
// in the order the window depends on.
#include <windows.h>

#include <commctrl.h>

#include "capture/activity_state.h"
#include "res/resource_ids.h"
#include "ui/win32/background_threads.h"
#include "ui/win32/file_list_columns.h"
#include "ui/win32/icon_list.h"
#include "ui/win32/key_routing.h"
#include "ui/win32/main_window_shell.h"
#include "ui/win32/main_window_snapshots.h"
#include "ui/win32/main_window_state.h"
#include "ui/win32/schedules_window.h"

namespace mv {
namespace {

HMENU LoadFirstPopup(int menu) {
  HMENU loaded = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(menu));
  return loaded == nullptr ? nullptr : GetSubMenu(loaded, 0);
}

}  // namespace

void InitMainWindow(HWND window) {
  MainWindowState& s = MainState();
  s.window = window;
  s.list = GetDlgItem(window, IDC_FILE_LIST);
  s.tree = GetDlgItem(window, IDC_SNAPSHOT_TREE);
  s.treePort = std::make_unique<Win32TreePort>(s.tree);
  s.notices = std::make_unique<Win32NoticePort>(window);

  SendMessageA(window, WM_SETICON, ICON_SMALL,
               reinterpret_cast<LPARAM>(LoadSizedIcon(IDI_APP, 16)));
  SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(LoadSizedIcon(IDI_APP, 32)));

  StartBackgroundThreads();

  // The browser starts with empty paths, an empty type icon cache and the sort table at
  // Name, Type, Size, Date ascending.
  s.snapshotCreated.clear();

  s.listImages = CreateIconList({IDI_DIRECTORY, IDI_SHARE});
  SendMessageA(s.list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(s.listImages));
  SendMessageA(s.list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  s.treeImages = CreateIconList({IDI_GROUP, IDI_COMPUTER, IDI_SNAPSHOT});
  SendMessageA(s.tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(s.treeImages));
  InsertFileListColumns(s.list);
  s.fileList = std::make_unique<Win32FileListPort>(s.list, s.listImages);
  s.browserControls = std::make_unique<Win32BrowserControls>(window);
  s.browser = std::make_unique<SnapshotBrowser>(PlatformFileSystem(), *s.fileList,
                                                *s.browserControls, *s.notices);
  s.library = std::make_unique<SnapshotLibrary>(*s.treePort, PlatformFileSystem());

  s.dragState = kDragIdle;
  s.sizeCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32644));  // IDC_SIZEWE

  s.status = CreateStatusLine(window);
  s.statusView = std::make_unique<StatusLineView>(window, s.status, nullptr);
  SetActivityView(s.statusView.get());
  SendMessageA(window, WM_SIZE, 0, 0);

  RebuildSnapshotTreeOfWindow();
  StartScheduleRunsOfWindow(window);

  s.treeMenu = LoadFirstPopup(IDR_TREE_MENU);
  s.networkMenu = LoadFirstPopup(IDR_NETWORK_MENU);
  s.listMenu = LoadFirstPopup(IDR_LIST_MENU);
  s.statusView->SetNetworkMenu(s.networkMenu);

  HMENU bar = GetMenu(window);
  // Grey until the first snapshot file is opened; the browser enables them then.
  for (int command : kSnapshotCommands) {
    EnableMenuItem(bar, static_cast<UINT>(command), MF_BYCOMMAND | MF_GRAYED);
  }

  StartKeyRouting(window, LoadAcceleratorsA(GetModuleHandleA(nullptr),
                                            MAKEINTRESOURCEA(IDR_MAIN_ACCELERATORS)));
  // The program runs elevated: Explorer's broadcast must be let through to it.
  ChangeWindowMessageFilter(TaskbarCreatedMessage(), MSGFLT_ADD);

  CheckFirstRun(window);
  SetActivityState(kIdle);
  StartUpdateCheckOfWindow(window);
  SetTimer(window, kSplitterTimer, kSplitterTimerPeriodMs, nullptr);
  ApplySettings();
}

void OnMainDestroy() {
  StopKeyRouting();
}

}  // namespace mv
