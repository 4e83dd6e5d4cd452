// The main window's application-shell steps: see main_window_shell.h.
#include "ui/main_window_shell.h"

#include "app/app_registry.h"
#include "app/tray_icon.h"
#include "app/wininet_fetch.h"
#include "core/first_run.h"
#include "core/update_check.h"
#include "platform/threading.h"
#include "res/resource_ids.h"
#include "ui/main_window_state.h"

namespace mv {
namespace {

constexpr unsigned kFirstRunPauseMs = 500;

}  // namespace

void CheckFirstRun(HWND window) {
  if (IsFirstRun(ReadAppRegistryValue(kNotFirstRunValue))) {
    SleepMilliseconds(kFirstRunPauseMs);
    const auto takeSnapshots = MainState().setup.takeSnapshotsOnFirstRun;
    StartDetachedThread([window, takeSnapshots] {
      // The box and the dialog belong to this thread and are owned by the main window.
      Win32NoticePort notices(window);
      FirstRunPrompt(notices, [&] {
        if (takeSnapshots) takeSnapshots(window);
      });
    });
  }
  WriteAppRegistryValue(kNotFirstRunValue, kNotFirstRunMarker);
}

void StartUpdateCheckOfWindow(HWND window) {
  const MainWindowSetup& setup = MainState().setup;
  if (setup.updateServer.empty() || setup.shell == nullptr) return;
  StartDetachedThread([window, server = setup.updateServer, shell = setup.shell] {
    Win32NoticePort notices(window);
    UpdateCheck(server, FetchFirstBytes, notices, *shell);
  });
}

void ApplySettings() {
  const MainWindowState& s = MainState();
  SetAutorun(s.setup.autorun);
  SetTrayIcon(s.window, LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_APP)),
              s.setup.showInTray);
}

void OnTrayCallback(HWND window, LPARAM mouseEvent) {
  if (LOWORD(mouseEvent) != WM_LBUTTONUP) return;
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
}

}  // namespace mv
