// The main window's dialog procedure: it only unpacks messages and calls their handlers.
#include "ui/win32/main_window.h"

#include <mutex>
#include <utility>

#include "platform/win32/escaped_exception.h"
#include "res/resource_ids.h"
#include "ui/win32/main_window_shell.h"
#include "ui/win32/main_window_state.h"
#include "ui/win32/owner_thread.h"
#include "ui/win32/schedules_window.h"

namespace mv {

MainWindowState& MainState() {
  static MainWindowState state;
  return state;
}

namespace {
// Guards the snapshots directory of the setup, which other threads read.
std::mutex gSetupMutex;
}  // namespace

void SetMainWindowSetup(MainWindowSetup setup) {
  std::lock_guard lock(gSetupMutex);
  MainState().setup = std::move(setup);
}

HWND GetMainWindow() {
  return MainState().window;
}

const Settings& CurrentSettings() {
  return MainState().setup;
}

HMENU GetNetworkMenu() {
  return MainState().networkMenu;
}

std::string SnapshotsDirectory() {
  std::lock_guard lock(gSetupMutex);
  return MainState().setup.snapshotsDirectory;
}

void SetSnapshotsDirectory(std::string directory) {
  std::lock_guard lock(gSetupMutex);
  MainState().setup.snapshotsDirectory = std::move(directory);
}

namespace {

INT_PTR CALLBACK MainWindowMessages(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      InitMainWindow(window);
      break;
    case WM_SIZE:
      LayoutMainWindow(window, wParam, lParam);
      break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
      OnSplitterMouse(window, wParam, lParam);
      break;
    case WM_TIMER:
      OnSplitterTimer(window);
      break;
    case WM_NOTIFY:
      if (lParam != 0 && OnMainNotify(window, *reinterpret_cast<const NMHDR*>(lParam), lParam)) {
        return TRUE;
      }
      break;
    case WM_COMMAND:
      OnMainCommand(window, LOWORD(wParam));
      break;
    case WM_CLOSE:
      OnMainClose(window);
      break;
    case kScheduleRanMessage:
      OnScheduleRunsMessage(window);
      break;
    case WM_MV_TRAY:
      OnTrayCallback(window, lParam);
      break;
    case WM_ENDSESSION:
      // The session ends (log-off, shutdown): an orderly end, through the exit routine, which
      // saves the settings. The default handling of WM_QUERYENDSESSION has agreed to it.
      if (wParam != FALSE) OnSessionEnd();
      break;
    case WM_DESTROY:
      OnMainDestroy();
      break;
    default:
      if (message == TaskbarCreatedMessage()) {
        OnTaskbarCreated(window);
      } else {
        HandleRunOnOwnerThread(message, wParam, lParam);
      }
      break;
  }
  return 0;
}

}  // namespace

INT_PTR CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return GuardedDialogProc<MainWindowMessages>(window, message, wParam, lParam);
}

}  // namespace mv
