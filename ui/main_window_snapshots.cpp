// The main window's snapshot side: see main_window_snapshots.h.
#include "ui/main_window_snapshots.h"

#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "capture/activity_state.h"
#include "core/row_details.h"
#include "ui/main_window_state.h"

namespace mv {
namespace {

constexpr int kCellRoom = 256;  // the detail text reads each cell with room for 255 characters

std::string CellText(HWND list, int row, int column) {
  std::vector<char> text(kCellRoom, '\0');
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = text.data();
  item.cchTextMax = kCellRoom;
  SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return std::string(text.data());
}

}  // namespace

void RebuildSnapshotTreeOfWindow() {}

void RemoveSnapshotItemOfWindow(TreeItem item) {
  MainState().treePort->DeleteItem(item);
}

void OpenSelectedSnapshot() {}

void ShowRowDetails(int row) {
  MainWindowState& s = MainState();
  const bool selected = row != -1 && (SendMessageA(s.list, LVM_GETITEMSTATE,
                                                   static_cast<WPARAM>(row), LVIS_SELECTED) &
                                      LVIS_SELECTED) != 0;
  if (!selected) {
    SetStatusText(kStatusPartDetails, SnapshotCreatedText(s.snapshotCreated));
    return;
  }
  SetStatusText(kStatusPartDetails,
                RowDetailsText(CellText(s.list, row, 0), CellText(s.list, row, 1),
                               CellText(s.list, row, 2), CellText(s.list, row, 3)));
}

void SortByColumnClick(int /*column*/) {}

}  // namespace mv
