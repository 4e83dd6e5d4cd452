// The Settings dialog: see settings_dialog.h.
#include "ui/win32/settings_dialog.h"

#include <shlobj.h>

#include <string>
#include <vector>

#include "platform/win32/escaped_exception.h"
#include "res/resource_ids.h"
#include "ui/win32/main_window_shell.h"
#include "ui/win32/main_window_snapshots.h"
#include "ui/win32/main_window_state.h"

namespace mv {
namespace {

// The control's whole text, however long.
std::string ControlText(HWND dialog, int control) {
  HWND item = GetDlgItem(dialog, control);
  std::vector<char> text(static_cast<std::size_t>(GetWindowTextLengthA(item)) + 1, '\0');
  const int length = GetWindowTextA(item, text.data(), static_cast<int>(text.size()));
  return std::string(text.data(), static_cast<std::size_t>(length > 0 ? length : 0));
}

bool Ticked(HWND dialog, int control) {
  return SendDlgItemMessageA(dialog, control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Tick(HWND dialog, int control, bool on) {
  SendDlgItemMessageA(dialog, control, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

void OnOpen(HWND dialog) {
  const MainWindowSetup& setup = MainState().setup;
  SetDlgItemTextA(dialog, IDC_SNAPSHOTS_DIRECTORY, setup.snapshotsDirectory.c_str());
  Tick(dialog, IDC_AUTORUN, setup.autorun);
  Tick(dialog, IDC_SHOW_IN_TRAY, setup.showInTray);
}

// A picked folder with a file-system path goes into the field; nothing is applied yet.
void BrowseForFolder(HWND dialog) {
  BROWSEINFOA info{};
  info.hwndOwner = dialog;
  LPITEMIDLIST folder = SHBrowseForFolderA(&info);
  if (folder == nullptr) return;
  // The function writes at most MAX_PATH bytes; a folder whose path would not fit has
  // none to give and leaves the field as it was.
  char path[MAX_PATH] = {};
  if (SHGetPathFromIDListA(folder, path)) SetDlgItemTextA(dialog, IDC_SNAPSHOTS_DIRECTORY, path);
  CoTaskMemFree(folder);
}

void OnOk(HWND dialog) {
  MainWindowSetup& setup = MainState().setup;
  const std::string directory = ControlText(dialog, IDC_SNAPSHOTS_DIRECTORY);
  if (!directory.empty()) SetSnapshotsDirectory(directory);
  RebuildSnapshotTreeOfWindow();
  setup.autorun = Ticked(dialog, IDC_AUTORUN);
  setup.showInTray = Ticked(dialog, IDC_SHOW_IN_TRAY);
  ApplySettings();
  EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      OnOpen(dialog);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_BROWSE:
          BrowseForFolder(dialog);
          return TRUE;
        case IDOK:
          OnOk(dialog);
          return TRUE;
        case IDCANCEL:  // also the close box
          EndDialog(dialog, IDCANCEL);
          return TRUE;
        default:
          return FALSE;
      }
    default:
      return FALSE;
  }
}

}  // namespace

void ShowSettingsDialog(HWND owner) {
  DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SETTINGS), owner,
                  GuardedDialogProc<SettingsDialogProc>, 0);
}

}  // namespace mv
