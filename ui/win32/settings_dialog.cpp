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
#include "ui/win32/window_text.h"

namespace mv {
namespace {

// The control's whole text, however long, in UTF-8 (the form of every path).
std::string ControlText(HWND dialog, int control) {
  return WholeWindowText(GetDlgItem(dialog, control));
}

bool Ticked(HWND dialog, int control) {
  return SendDlgItemMessageA(dialog, control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Tick(HWND dialog, int control, bool on) {
  SendDlgItemMessageA(dialog, control, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

void OnOpen(HWND dialog) {
  const MainWindowSetup& setup = MainState().setup;
  SetWindowTextUtf8(GetDlgItem(dialog, IDC_SNAPSHOTS_DIRECTORY), setup.snapshotsDirectory);
  Tick(dialog, IDC_AUTORUN, setup.autorun);
  Tick(dialog, IDC_SHOW_IN_TRAY, setup.showInTray);
}

// A picked folder with a file-system path goes into the field; nothing is applied yet.
void BrowseForFolder(HWND dialog) {
  BROWSEINFOW info{};
  info.hwndOwner = dialog;
  LPITEMIDLIST folder = SHBrowseForFolderW(&info);
  if (folder == nullptr) return;
  // The function writes at most MAX_PATH characters; a folder whose path would not fit has
  // none to give and leaves the field as it was.
  wchar_t path[MAX_PATH] = {};
  if (SHGetPathFromIDListW(folder, path)) SetDlgItemTextW(dialog, IDC_SNAPSHOTS_DIRECTORY, path);
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
  DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SETTINGS), owner,
                  GuardedDialogProc<SettingsDialogProc>, 0);
}

}  // namespace mv
