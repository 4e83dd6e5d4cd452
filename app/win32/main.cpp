// Mirrorvault.exe: installs the crash message, prepares the paths, the settings and the
// common controls, then runs the main window, which never returns while the program runs.
// The process ends in ExitApplication.
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "app/app_paths.h"
#include "app/settings.h"
#include "app/web_pages.h"
#include "app/win32/com_apartment.h"
#include "app/win32/crash_report.h"
#include "app/win32/profile_settings_file.h"
#include "app/win32/system_paths.h"
#include "app/win32/tray_icon.h"
#include "app/win32/window_shell.h"
#include "capture/schedule_file.h"
#include "platform/win32/escaped_exception.h"
#include "res/resource_ids.h"
#include "ui/win32/main_window.h"
#include "ui/win32/take_snapshots_dialog.h"
#include "ui/win32/win32_notice_port.h"
#include "ui/win32/win32_shell_port.h"
#include "ui/win32/window_text.h"

namespace {

std::string& ConfigFilePath() {
  static std::string path;
  return path;
}

// Saves the settings, removes the tray icon and ends the process without waiting for any
// thread: a capture that runs stops where it is.
[[noreturn]] void ExitApplication() {
  mv::ProfileSettingsFile file(ConfigFilePath());
  mv::SaveSettings(file, mv::CurrentSettings());
  mv::SetTrayIcon(mv::GetMainWindow(), nullptr, false);
  ExitProcess(0);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // Faults, and C++ exceptions that nothing caught, end in the crash message.
  mv::InstallCrashFilter(mv::ReportUnhandledException);
  // The window opens files, property sheets and the folder picker through the shell.
  const mv::ComApartment com;
  // Made here, once: the shell port looks up what it needs from shell32 as it is made.
  static mv::Win32ShellPort shell;

  const std::string documents = mv::DocumentsFolder();
  // Fails harmlessly when it exists.
  CreateDirectoryW(mv::WideFromText(mv::AppFolderIn(documents), mv::NameEncoding::kUtf8).c_str(),
                   nullptr);
  ConfigFilePath() = mv::ConfigFilePathIn(documents);

  mv::MainWindowSetup setup;
  mv::ConnectAppShell(setup);
  setup.helpFilePath = mv::HelpFilePathFor(mv::ExecutablePath());
  setup.shell = &shell;
  setup.exitApplication = [] { ExitApplication(); };
  setup.updateServer = mv::kUpdateServer;
  setup.schedulesPath = mv::ScheduleFilePath(mv::AppFolderIn(documents), mv::kSchedulesFileName);
  // The first-run prompt's own dialog, on the prompt's thread, owned by the main window.
  setup.takeSnapshotsOnFirstRun = [](HWND owner) { mv::ShowTakeSnapshotsDialog(owner); };
  const mv::ProfileSettingsFile settingsFile(ConfigFilePath());
  static_cast<mv::Settings&>(setup) = mv::LoadSettings(settingsFile, documents);
  // A value edited to hold a line break or another control character took its default.
  for (const std::string& key : settingsFile.refusedKeys()) {
    mv::Win32NoticePort(nullptr).ShowMessage(
        "The setting '" + key + "' in '" + ConfigFilePath() +
            "' holds a control character and was not read; its default is used.",
        mv::MessageKind::kInformation);
  }
  mv::SetMainWindowSetup(std::move(setup));

  InitCommonControls();
  DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, mv::MainWindowProc, 0);
  return 0;
}
