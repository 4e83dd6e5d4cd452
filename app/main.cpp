// Mirrorvault.exe: prepares the paths and the common controls, then runs the main window,
// which never returns while the program runs.
#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "core/app_paths.h"
#include "res/resource_ids.h"
#include "ui/main_window.h"
#include "ui/win32_shell_port.h"

namespace {

std::string DocumentsFolder() {
  char path[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathA(nullptr, path, CSIDL_PERSONAL, FALSE)) return std::string();
  return path;
}

std::string ExecutablePath() {
  std::vector<char> path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) return std::string(path.data(), length);
    path.resize(path.size() * 2);
  }
}

[[noreturn]] void ExitApplication() {
  ExitProcess(0);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  const std::string appFolder = mv::AppFolderIn(DocumentsFolder());
  CreateDirectoryA(appFolder.c_str(), nullptr);  // fails harmlessly when it exists

  static mv::Win32ShellPort shell;
  mv::MainWindowSetup setup;
  setup.snapshotsDirectory = appFolder;
  setup.helpFilePath = mv::HelpFilePathFor(ExecutablePath());
  setup.shell = &shell;
  setup.exitApplication = [] { ExitApplication(); };
  mv::SetMainWindowSetup(std::move(setup));

  InitCommonControls();
  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, mv::MainWindowProc, 0);
  return 0;
}
