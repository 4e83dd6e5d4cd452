// List view requests behind the file list port: see win32_file_list_port.h.
#include "ui/win32/win32_file_list_port.h"

#include <shellapi.h>

#include <vector>

#include "res/resource_ids.h"

namespace mv {
namespace {

constexpr UINT kRowStateBits = LVIS_SELECTED | LVIS_FOCUSED;

// The port's state bits and the control's are translated one by one, so neither side
// depends on the other's numbering.
UINT ToControlState(std::uint32_t state) {
  return ((state & kRowSelected) != 0 ? LVIS_SELECTED : 0u) |
         ((state & kRowFocused) != 0 ? LVIS_FOCUSED : 0u);
}

std::uint32_t FromControlState(UINT state) {
  return ((state & LVIS_SELECTED) != 0 ? kRowSelected : 0u) |
         ((state & LVIS_FOCUSED) != 0 ? kRowFocused : 0u);
}

// LVM_SORTITEMS hands the callback two rows' item data (their indexes before the sort); a
// row goes where its rank in the wanted order says.
int CALLBACK CompareByRank(LPARAM first, LPARAM second, LPARAM ranks) {
  const auto& rank = *reinterpret_cast<const std::vector<int>*>(ranks);
  return rank[static_cast<std::size_t>(first)] - rank[static_cast<std::size_t>(second)];
}

}  // namespace

void Win32FileListPort::DeleteAllRows() {
  SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0);
}

int Win32FileListPort::AppendRow(const std::string& name, int image, std::uint32_t state) {
  std::vector<char> text(name.begin(), name.end());
  text.push_back('\0');
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_STATE;
  item.iItem = RowCount();
  item.pszText = text.data();
  item.iImage = image;
  item.state = ToControlState(state);
  item.stateMask = kRowStateBits;
  return static_cast<int>(SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

void Win32FileListPort::SetCellText(int row, int column, const std::string& text) {
  std::vector<char> copy(text.begin(), text.end());
  copy.push_back('\0');
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = copy.data();
  SendMessageA(list_, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

int Win32FileListPort::RowCount() {
  return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
}

std::string Win32FileListPort::CellText(int row, int column) {
  if (row < 0 || row >= RowCount()) return std::string();
  // The control copies at most the room given; grow until the text fits with room to spare.
  for (std::size_t room = 300;; room *= 2) {
    std::vector<char> text(room, '\0');
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(room);
    const auto length = static_cast<std::size_t>(SendMessageA(
        list_, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
    if (length + 1 < room) return std::string(text.data(), length);
  }
}

std::uint32_t Win32FileListPort::RowState(int row) {
  if (row < 0 || row >= RowCount()) return 0;
  return FromControlState(static_cast<UINT>(
      SendMessageA(list_, LVM_GETITEMSTATE, static_cast<WPARAM>(row), kRowStateBits)));
}

void Win32FileListPort::SelectOnly(int row) {
  LVITEMA item{};
  item.stateMask = kRowStateBits;
  item.state = 0;
  SendMessageA(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
  if (row < 0 || row >= RowCount()) return;
  item.state = kRowStateBits;
  SendMessageA(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  SendMessageA(list_, LVM_SETSELECTIONMARK, 0, static_cast<LPARAM>(row));
  SendMessageA(list_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

void Win32FileListPort::ApplyRowOrder(const std::vector<int>& order) {
  std::vector<int> rank(order.size());
  for (std::size_t place = 0; place < order.size(); ++place) {
    rank[static_cast<std::size_t>(order[place])] = static_cast<int>(place);
  }
  for (int row = 0; row < static_cast<int>(order.size()); ++row) {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = row;
    SendMessageA(list_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }
  SendMessageA(list_, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&rank),
               reinterpret_cast<LPARAM>(&CompareByRank));
}

int Win32FileListPort::AddTypeIcon(const std::string& key) {
  SHFILEINFOA info{};
  if (SHGetFileInfoA(key.c_str(), 0, &info, sizeof info,
                     SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES) == 0 ||
      info.hIcon == nullptr) {
    return -1;
  }
  const int index = ImageList_ReplaceIcon(images_, -1, info.hIcon);
  DestroyIcon(info.hIcon);
  return index;
}

void Win32BrowserControls::SetLocationText(const std::string& text) {
  SetDlgItemTextA(window_, IDC_LOCATION, text.c_str());
}

void Win32BrowserControls::EnableCommand(int commandId) {
  EnableMenuItem(GetMenu(window_), static_cast<UINT>(commandId), MF_BYCOMMAND | MF_ENABLED);
}

}  // namespace mv
