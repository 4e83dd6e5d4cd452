// What the main window keeps for the life of the process, shared by its handler files.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>

#include "core/snapshot_library.h"
#include "ui/file_search.h"
#include "ui/snapshot_browser.h"
#include "ui/win32/main_window.h"
#include "ui/win32/status_line.h"
#include "ui/win32/win32_file_list_port.h"
#include "ui/win32/win32_notice_port.h"
#include "ui/win32/win32_tree_port.h"

namespace mv {

inline constexpr int kDragIdle = 0;
inline constexpr int kDragging = 2;
inline constexpr UINT_PTR kSplitterTimer = 0;
inline constexpr UINT kSplitterTimerPeriodMs = 1;

struct MainWindowState {
  MainWindowSetup setup;
  HWND window = nullptr;
  HWND tree = nullptr;
  HWND list = nullptr;
  HWND status = nullptr;
  HMENU treeMenu = nullptr;
  HMENU listMenu = nullptr;
  HMENU networkMenu = nullptr;
  HIMAGELIST listImages = nullptr;
  HIMAGELIST treeImages = nullptr;
  HCURSOR sizeCursor = nullptr;
  int dragState = kDragIdle;
  std::string snapshotCreated;  // created text of the loaded snapshot
  std::unique_ptr<Win32TreePort> treePort;
  std::unique_ptr<Win32NoticePort> notices;
  std::unique_ptr<StatusLineView> statusView;
  std::unique_ptr<Win32FileListPort> fileList;
  std::unique_ptr<Win32BrowserControls> browserControls;
  std::unique_ptr<SnapshotLibrary> library;  // the snapshot tree and its tables
  std::unique_ptr<SnapshotBrowser> browser;  // the loaded snapshot and the file list
  FileSearch search;                         // the last name searched for and where its run stands
  bool keepLoadedOnSelect = false;           // a refresh of the tree reselects what is shown
};

MainWindowState& MainState();

// Handlers, one file each.
void InitMainWindow(HWND window);
void LayoutMainWindow(HWND window, WPARAM wParam, LPARAM lParam);
void OnSplitterMouse(HWND window, WPARAM keyFlags, LPARAM position);
void OnSplitterTimer(HWND window);
void OnMainCommand(HWND window, int command);
// True when the notification's answer was set (DWLP_MSGRESULT) and the dialog procedure
// must return TRUE for it.
bool OnMainNotify(HWND window, const NMHDR& header, LPARAM lParam);
void OnMainClose(HWND window);
void OnMainDestroy();

}  // namespace mv
