// The main window's Compare..., Export..., Show Space... and Show Growth... commands: see
// main_window_compare.h.
#include "ui/win32/main_window_compare.h"

#include <commctrl.h>

#include <optional>
#include <string>

#include "core/library_name.h"
#include "core/snapshot_name.h"
#include "core/text.h"
#include "platform/file_list_port.h"
#include "ui/file_list_rows.h"
#include "ui/win32/export_dialog.h"
#include "ui/win32/growth_window.h"
#include "ui/win32/main_window_state.h"
#include "ui/win32/space_window.h"
#include "ui/win32/window_text.h"

namespace mv {
namespace {

constexpr char kSelectSnapshot[] = "Select a snapshot in the tree first.";

// The file of the tree's selected snapshot; none for a group or computer item, or without a
// selection, after saying so.
std::optional<std::string> SelectedSnapshotPath() {
  MainWindowState& s = MainState();
  TVITEMW item{};
  item.mask = TVIF_PARAM | TVIF_HANDLE;
  item.hItem = reinterpret_cast<HTREEITEM>(SendMessageW(s.tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  std::optional<std::string> path;
  if (item.hItem != nullptr &&
      SendMessageW(s.tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) != 0) {
    path = s.library->SnapshotFilePath(static_cast<std::intptr_t>(item.lParam));
  }
  if (!path) s.notices->ShowMessage(kSelectSnapshot, MessageKind::kInformation);
  return path;
}

// The Growth window of folder (UTF-8; empty: the whole computer) over the captures of the
// computer of the snapshot file at path, as the library names it: from the file's name.
void OpenGrowthOf(HWND window, const std::string& path, const std::string& folder) {
  const std::size_t slash = path.find_last_of("\\/");
  const std::string fileName = slash == std::string::npos ? path : path.substr(slash + 1);
  const SnapshotNamePieces pieces(fileName);
  GrowthSetup setup;
  setup.snapshotsDirectory = SnapshotsDirectory();
  setup.group = NameOfFileNamePiece(pieces.Piece(kPieceGroup));
  setup.computer = NameOfFileNamePiece(pieces.Piece(kPieceComputer));
  setup.folder = folder;
  OpenGrowthWindow(window, std::move(setup));
}

}  // namespace

void CompareSelectedSnapshot(HWND window, std::function<bool(const CompareEntry&)> openEntry) {
  const std::optional<std::string> path = SelectedSnapshotPath();
  if (!path) return;
  CompareSetup setup;
  setup.snapshotsDirectory = MainState().library->snapshotDirectory();
  setup.snapshotPath = *path;
  setup.openEntry = std::move(openEntry);
  OpenCompareWindow(window, std::move(setup));
}

void ExportSelectedSnapshot(HWND window) {
  if (const std::optional<std::string> path = SelectedSnapshotPath()) {
    ShowExportDialog(window, *path);
  }
}

void ShowSpaceOfWindow(HWND window, std::function<bool(const CompareEntry&)> showEntry) {
  MainWindowState& s = MainState();
  const SnapshotInfo& info = s.browser->info();
  if (info.path.empty()) {
    s.notices->ShowMessage(kSelectSnapshot, MessageKind::kInformation);
    return;
  }
  SpaceSetup setup;
  setup.snapshotPath = info.path;
  setup.location = s.browser->navigationPath();
  if (!setup.location.empty() && setup.location.back() == '\\') setup.location.pop_back();
  // From the list's menu: a folder (or share) row selected there is the one meant.
  if (GetFocus() == s.list) {
    const int count = s.fileList->RowCount();
    for (int row = 0; row < count; ++row) {
      if ((s.fileList->RowState(row) & kRowSelected) == 0) continue;
      const std::string name = s.fileList->CellText(row, kNameColumn);
      const std::string type = s.fileList->CellText(row, kTypeColumn);
      if (name != ".." &&
          (EqualsIgnoreCase(type, kDirectoryTypeText) || EqualsIgnoreCase(type, kShareTypeText))) {
        setup.location = setup.location.empty() ? name : setup.location + '\\' + name;
      }
      break;
    }
  }
  setup.showEntry = std::move(showEntry);
  setup.showGrowth = [window, path = info.path](const std::string& folder) {
    OpenGrowthOf(window, path, folder);
  };
  OpenSpaceWindow(window, std::move(setup));
}

void ShowGrowthOfWindow(HWND window) {
  MainWindowState& s = MainState();
  const SnapshotInfo& info = s.browser->info();
  if (info.path.empty()) {
    s.notices->ShowMessage(kSelectSnapshot, MessageKind::kInformation);
    return;
  }
  std::string location = s.browser->navigationPath();
  while (!location.empty() && location.back() == '\\') location.pop_back();
  OpenGrowthOf(window, info.path, Utf8FromText(location, info.encoding));
}

}  // namespace mv
