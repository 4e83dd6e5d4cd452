// The main window's snapshot side: see main_window_snapshots.h.
#include "ui/win32/main_window_snapshots.h"

#include <windows.h>

#include <commctrl.h>

#include "capture/activity_state.h"
#include "ui/file_list_rows.h"
#include "ui/win32/main_window_state.h"

namespace mv {
namespace {

std::string CouldNotOpenText(const std::string& path) {
  return "Could not open '" + path + "'.\nThe file is corrupted.";
}

// The item parameter of the tree's selected item, or none without a selection.
std::optional<std::intptr_t> SelectedItemParam(HWND tree) {
  TVITEMA item{};
  item.mask = TVIF_PARAM | TVIF_HANDLE;
  item.hItem = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  if (item.hItem == nullptr) return std::nullopt;
  if (SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) == 0) {
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
  if (s.browser->LoadSnapshot(*path) == 0) {
    s.notices->ShowMessage(CouldNotOpenText(*path), MessageKind::kError);
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
