// The main window's application-shell steps: see main_window_shell.h.
#include "ui/win32/main_window_shell.h"

#include "ui/win32/main_window_state.h"

namespace mv {

void CheckFirstRun(HWND window) {
  const MainWindowSetup& setup = MainState().setup;
  if (setup.appShell.checkFirstRun)
    setup.appShell.checkFirstRun(window, setup.takeSnapshotsOnFirstRun);
}

void StartUpdateCheckOfWindow(HWND window) {
  const MainWindowSetup& setup = MainState().setup;
  if (setup.updateServer.empty() || setup.shell == nullptr || !setup.appShell.startUpdateCheck)
    return;
  setup.appShell.startUpdateCheck(window, setup.updateServer, *setup.shell);
}

void ApplySettings() {
  const MainWindowState& s = MainState();
  if (s.setup.appShell.applySettings) s.setup.appShell.applySettings(s.window, s.setup);
}

bool TrayIconShown(HWND window) {
  const MainWindowSetup& setup = MainState().setup;
  return setup.showInTray && setup.appShell.showTrayIcon && setup.appShell.showTrayIcon(window);
}

UINT TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageA("TaskbarCreated");
  return message;
}

void OnTaskbarCreated(HWND window) {
  TrayIconShown(window);
}

void OnSessionEnd() {
  const MainWindowSetup& setup = MainState().setup;
  if (setup.exitApplication) setup.exitApplication();
}

void OnTrayCallback(HWND window, LPARAM mouseEvent) {
  if (LOWORD(mouseEvent) != WM_LBUTTONUP) return;
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
}

}  // namespace mv
