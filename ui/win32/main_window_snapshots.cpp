// The main window's snapshot side: see main_window_snapshots.h.
#include "ui/win32/main_window_snapshots.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <vector>

#include "capture/activity_state.h"
#include "core/text.h"
#include "query/index_keeper.h"
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

// Beyond this an item's text is compared by its first characters only.
constexpr std::size_t kMaxItemTextChars = std::size_t{1} << 20;

// An item's whole text, however long (a group name from a browse list can be).
std::wstring ItemText(HWND tree, HTREEITEM item) {
  for (std::size_t room = 256;; room *= 2) {
    std::wstring text(room, L'\0');
    TVITEMW data{};
    data.mask = TVIF_TEXT | TVIF_HANDLE;
    data.hItem = item;
    data.pszText = text.data();
    data.cchTextMax = static_cast<int>(room);
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
    text.resize(wcsnlen(text.c_str(), room));
    // A text that filled the room may have been cut: ask again with twice the room.
    if (text.size() + 1 < room || room >= kMaxItemTextChars) return text;
  }
}

HTREEITEM Next(HWND tree, HTREEITEM item, WPARAM which) {
  return reinterpret_cast<HTREEITEM>(
      SendMessageW(tree, TVM_GETNEXTITEM, which, reinterpret_cast<LPARAM>(item)));
}

// An item by the texts from the root down to it; the tree's items are few levels deep.
using ItemPath = std::vector<std::wstring>;
ItemPath PathOf(HWND tree, HTREEITEM item) {
  ItemPath path;
  for (; item != nullptr; item = Next(tree, item, TVGN_PARENT))
    path.push_back(ItemText(tree, item));
  std::reverse(path.begin(), path.end());
  return path;
}

HTREEITEM ItemAt(HWND tree, const ItemPath& path) {
  HTREEITEM item = nullptr;
  for (const std::wstring& text : path) {
    HTREEITEM child =
        item == nullptr ? Next(tree, nullptr, TVGN_ROOT) : Next(tree, item, TVGN_CHILD);
    while (child != nullptr && ItemText(tree, child) != text) child = Next(tree, child, TVGN_NEXT);
    if (child == nullptr) return nullptr;
    item = child;
  }
  return item;
}

// The expanded items: groups and computers.
void CollectExpanded(HWND tree, HTREEITEM first, std::vector<ItemPath>& expanded) {
  for (HTREEITEM item = first; item != nullptr; item = Next(tree, item, TVGN_NEXT)) {
    const auto state =
        SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED);
    if ((state & TVIS_EXPANDED) == 0) continue;
    expanded.push_back(PathOf(tree, item));
    CollectExpanded(tree, Next(tree, item, TVGN_CHILD), expanded);
  }
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
  // The tree is filled at the start, after captures and when the folder changed: the
  // indexes follow in the background.
  if (s.setup.keepIndexes) TheIndexKeeper().Request(s.setup.snapshotsDirectory);
}

void RefreshSnapshotTreeKeepingSelection() {
  MainWindowState& s = MainState();
  std::vector<ItemPath> expanded;
  CollectExpanded(s.tree, Next(s.tree, nullptr, TVGN_ROOT), expanded);
  const HTREEITEM selected = Next(s.tree, nullptr, TVGN_CARET);
  const ItemPath selectedPath = selected != nullptr ? PathOf(s.tree, selected) : ItemPath();
  // The snapshot shown stays as the user left it, folder and row: selecting its new item
  // does not load it again.
  s.keepLoadedOnSelect = true;
  SendMessageW(s.tree, WM_SETREDRAW, FALSE, 0);
  RebuildSnapshotTreeOfWindow();
  for (const ItemPath& path : expanded) {
    if (HTREEITEM item = ItemAt(s.tree, path)) {
      SendMessageW(s.tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
    }
  }
  if (HTREEITEM item = selectedPath.empty() ? nullptr : ItemAt(s.tree, selectedPath)) {
    SendMessageW(s.tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
  }
  SendMessageW(s.tree, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(s.tree, nullptr, TRUE);
  s.keepLoadedOnSelect = false;
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
  if (s.keepLoadedOnSelect && IsLoaded(s, *path)) return;
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
