// The application shell's side of the main window: see window_shell.h.
#include "app/win32/window_shell.h"

#include <string>
#include <utility>

#include "app/first_run.h"
#include "app/update_check.h"
#include "app/web_pages.h"
#include "app/win32/app_registry.h"
#include "app/win32/com_apartment.h"
#include "app/win32/tray_icon.h"
#include "app/win32/wininet_fetch.h"
#include "platform/threading.h"
#include "res/resource_ids.h"
#include "ui/win32/win32_notice_port.h"

namespace mv {
namespace {

constexpr unsigned kFirstRunPauseMs = 500;

// On a first run: waits half a second, then asks on a thread of its own. At every start the
// registry marker is written afterwards, whatever the answer will be.
void CheckFirstRun(HWND window, std::function<void(HWND owner)> takeSnapshots) {
  if (IsFirstRun(ReadAppRegistryValue(kNotFirstRunValue))) {
    SleepMilliseconds(kFirstRunPauseMs);
    StartDetachedThread([window, takeSnapshots = std::move(takeSnapshots)] {
      // The box and the dialog belong to this thread and are owned by the main window.
      Win32NoticePort notices(window);
      FirstRunPrompt(notices, [&] {
        if (takeSnapshots) takeSnapshots(window);
      });
    });
  }
  WriteAppRegistryValue(kNotFirstRunValue, kNotFirstRunMarker);
}

void StartUpdateCheck(HWND window, const std::string& server, ShellPort& shell) {
  StartDetachedThread([window, server, &shell] {
    const ComApartment com;  // the web page is opened through the shell
    Win32NoticePort notices(window);
    UpdateCheck(server, FetchFirstBytes, notices, shell);
  });
}

HICON AppIcon() {
  return LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_APP));
}

void ApplyShellSettings(HWND window, const Settings& settings) {
  SetAutorun(settings.autorun);
  SetTrayIcon(window, AppIcon(), settings.showInTray);
}

}  // namespace

void ConnectAppShell(MainWindowSetup& setup) {
  setup.webPages = {kMakerWebRoot, kSupportPage, kSupportEmail};
  setup.appShell.checkFirstRun = CheckFirstRun;
  setup.appShell.startUpdateCheck = StartUpdateCheck;
  setup.appShell.applySettings = ApplyShellSettings;
  setup.appShell.showTrayIcon = [](HWND window) { return ShowTrayIconAgain(window, AppIcon()); };
  setup.appShell.notify = ShowTrayBalloon;
}

}  // namespace mv
