// The main window's snapshot side: see main_window_snapshots.h.
#include "ui/win32/main_window_snapshots.h"

#include <windows.h>

#include <commctrl.h>

#include "capture/activity_state.h"
#include "ui/file_list_rows.h"
#include "ui/win32/main_window_state.h"
#include "ui/win32/win32_notice_port.h"

namespace mv {
namespace {

std::string CouldNotOpenText(const std::string& path) {
  return "Could not open '" + path + "'.\nThe file is corrupted.";
}

// The item parameter of the tree's selected item, or none without a selection.
std::optional<std::intptr_t> SelectedItemParam(HWND tree) {
  TVITEMW item{};
  item.mask = TVIF_PARAM | TVIF_HANDLE;
  item.hItem = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  if (item.hItem == nullptr) return std::nullopt;
  if (SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) == 0) {
    return std::nullopt;
  }
  return static_cast<std::intptr_t>(item.lParam);
}

}  // namespace

void RebuildSnapshotTreeOfWindow() {
  MainWindowState& s = MainState();
  s.library->SetSnapshotDirectory(s.setup.snapshotsDirectory);
  s.library->RebuildSnapshotTree();
}

void RemoveSnapshotItemOfWindow(TreeItem item) {
  MainState().library->RemoveSnapshotItem(item);
}

void OpenSelectedSnapshot() {
  MainWindowState& s = MainState();
  const std::optional<std::intptr_t> param = SelectedItemParam(s.tree);
  if (!param) return;
  // Group and computer items name no file: the list and the location stay as they are.
  const std::optional<std::string> path = s.library->SnapshotFilePath(*param);
  if (!path) return;
  const int loaded = s.browser->LoadSnapshot(*path);
  // The ports show the loaded snapshot's names from now on (a file not read left it as it was).
  const NameEncoding encoding = s.browser->info().encoding;
  s.fileList->SetTextEncoding(encoding);
  s.browserControls->SetTextEncoding(encoding);
  s.notices->SetTextEncoding(encoding);
  if (loaded == 0) {
    // The path is UTF-8, as every path of the program.
    Win32NoticePort(s.window).ShowMessage(CouldNotOpenText(*path), MessageKind::kError);
    return;
  }
  s.browser->ClearNavigationPath();
  s.browser->SetSnapshotComputer(s.browser->info().computer);
  s.snapshotCreated = s.browser->info().created;
  SetStatusText(kStatusPartDetails, SnapshotCreatedText(s.snapshotCreated));
  s.browser->OpenLocation(kShareListStep);
}

void ShowRowDetails(int row) {
  MainWindowState& s = MainState();
  s.browser->ShowRowDetails(row, s.snapshotCreated);
}

void SortByColumnClick(int column) {
  MainState().browser->ClickColumn(column);
}

}  // namespace mv
