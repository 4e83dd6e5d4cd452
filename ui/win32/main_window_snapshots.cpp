// The main window's snapshot side: see main_window_snapshots.h.
#include "ui/win32/main_window_snapshots.h"

#include <windows.h>

#include <commctrl.h>

#include "capture/activity_state.h"
#include "core/text.h"
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

// The tree item of the snapshot file path, or none.
TreeItem SnapshotItemOfPath(const SnapshotLibrary& library, const std::string& path) {
  for (const LibSnapshotEntry& row : library.snapshotTable()) {
    if (row.inUse && row.item != kNoTreeItem &&
        EqualsIgnoreCase(SnapshotFilePath(library.snapshotDirectory(), row.fileName), path)) {
      return row.item;
    }
  }
  return kNoTreeItem;
}

bool IsLoaded(const MainWindowState& s, const std::string& path) {
  return !s.browser->info().path.empty() && EqualsIgnoreCase(s.browser->info().path, path);
}

void BringMainWindowForward(const MainWindowState& s) {
  if (!IsWindowVisible(s.window)) ShowWindow(s.window, SW_SHOW);
  if (IsIconic(s.window)) ShowWindow(s.window, SW_RESTORE);
  SetForegroundWindow(s.window);
  SendMessageW(s.window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(s.list), TRUE);
}

}  // namespace

bool OpenSnapshotAtEntry(const std::string& snapshotPath, std::string_view folderLocation,
                         std::string_view rowName) {
  MainWindowState& s = MainState();
  TreeItem item = SnapshotItemOfPath(*s.library, snapshotPath);
  if (item == kNoTreeItem) {
    // Taken since the tree was last filled.
    RebuildSnapshotTreeOfWindow();
    item = SnapshotItemOfPath(*s.library, snapshotPath);
  }
  if (item == kNoTreeItem) return false;
  const auto treeItem = reinterpret_cast<HTREEITEM>(item);
  const auto current =
      reinterpret_cast<HTREEITEM>(SendMessageW(s.tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  if (current != treeItem) {
    // The selection change loads it.
    SendMessageW(s.tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(treeItem));
  } else if (!IsLoaded(s, snapshotPath)) {
    OpenSelectedSnapshot();
  }
  SendMessageW(s.tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(treeItem));
  BringMainWindowForward(s);
  if (!IsLoaded(s, snapshotPath)) return false;
  return ShowEntryInFolder(*s.browser, *s.fileList, folderLocation, rowName);
}

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
    // The path is UTF-8, as every path of the program.
    Win32NoticePort(s.window).ShowMessage(CouldNotOpenText(*path), MessageKind::kError);
    return;
  }
  // The ports show the loaded snapshot's names from now on. A refused file changes nothing:
  // the rows still shown are the last accepted snapshot's, in its encoding.
  const NameEncoding encoding = s.browser->listEncoding();
  s.fileList->SetTextEncoding(encoding);
  s.browserControls->SetTextEncoding(encoding);
  s.notices->SetTextEncoding(encoding);
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
