// List view requests behind the file list port: see win32_file_list_port.h.
#include "ui/win32/win32_file_list_port.h"

#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "core/text.h"
#include "res/resource_ids.h"
#include "ui/win32/window_text.h"

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

// What the control asks of a row: its image, and one cell's text copied into the room it
// gives (room - 1 characters and the terminating zero).
template <typename Item, typename Copy>
void AnswerDisplayInfo(Item& item, int image,
                       const std::array<std::string, kFileListColumnCount>& cells, Copy copy) {
  if ((item.mask & LVIF_IMAGE) != 0 && item.iSubItem == 0) item.iImage = image;
  if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0 &&
      item.iSubItem >= 0 && item.iSubItem < kFileListColumnCount) {
    copy(cells[static_cast<std::size_t>(item.iSubItem)], item.pszText, item.cchTextMax - 1);
  }
}

}  // namespace

void Win32FileListPort::DeleteAllRows() {
  rows_.clear();
  appendedStates_.clear();
  rowsShown_ = 0;
  SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0);
}

int Win32FileListPort::AppendRow(const std::string& name, int image, std::uint32_t state) {
  Row& row = rows_.emplace_back();
  row.cells[kNameColumn] = name;
  row.image = image;
  const int index = static_cast<int>(rows_.size()) - 1;
  if ((state & kRowStateBits) != 0) appendedStates_.emplace_back(index, state);
  return index;
}

void Win32FileListPort::SetCellText(int row, int column, const std::string& text) {
  if (row < 0 || row >= Rows() || column < 0 || column >= kFileListColumnCount) return;
  rows_[static_cast<std::size_t>(row)].cells[static_cast<std::size_t>(column)] = text;
  if (row < rowsShown_) SendMessageA(list_, LVM_REDRAWITEMS, static_cast<WPARAM>(row), row);
}

int Win32FileListPort::RowCount() {
  // Whoever counts the rows next reads or sets their states: the control must know them all.
  ShowAppendedRows();
  return Rows();
}

std::string Win32FileListPort::CellText(int row, int column) {
  if (row < 0 || row >= Rows() || column < 0 || column >= kFileListColumnCount) return {};
  return rows_[static_cast<std::size_t>(row)].cells[static_cast<std::size_t>(column)];
}

std::uint32_t Win32FileListPort::RowState(int row) {
  ShowAppendedRows();
  if (row < 0 || row >= Rows()) return 0;
  return FromControlState(static_cast<UINT>(
      SendMessageA(list_, LVM_GETITEMSTATE, static_cast<WPARAM>(row), kRowStateBits)));
}

void Win32FileListPort::SelectOnly(int row) {
  ShowAppendedRows();
  LVITEMA item{};
  item.stateMask = kRowStateBits;
  item.state = 0;
  SendMessageA(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
  if (row < 0 || row >= Rows()) return;
  item.state = kRowStateBits;
  SendMessageA(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  SendMessageA(list_, LVM_SETSELECTIONMARK, 0, static_cast<LPARAM>(row));
  SendMessageA(list_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

void Win32FileListPort::ApplyRowOrder(const std::vector<int>& order) {
  ShowAppendedRows();
  if (order.size() != rows_.size()) return;
  // The control keeps the states by row index: they go with their rows.
  std::vector<std::pair<int, UINT>> states;
  for (UINT flag : {static_cast<UINT>(LVNI_SELECTED), static_cast<UINT>(LVNI_FOCUSED)}) {
    for (auto row = static_cast<int>(SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                                  static_cast<LPARAM>(flag)));
         row >= 0; row = static_cast<int>(
                       SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(row), flag))) {
      states.emplace_back(row, flag == LVNI_SELECTED ? LVIS_SELECTED : LVIS_FOCUSED);
    }
  }
  std::vector<int> place(order.size());
  std::vector<Row> ordered;
  ordered.reserve(rows_.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    place[static_cast<std::size_t>(order[i])] = static_cast<int>(i);
    ordered.push_back(std::move(rows_[static_cast<std::size_t>(order[i])]));
  }
  rows_ = std::move(ordered);
  if (!states.empty()) {
    LVITEMA item{};
    item.stateMask = kRowStateBits;
    SendMessageA(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    for (const auto& [row, state] : states) {
      item.stateMask = state;
      item.state = state;
      SendMessageA(list_, LVM_SETITEMSTATE,
                   static_cast<WPARAM>(place[static_cast<std::size_t>(row)]),
                   reinterpret_cast<LPARAM>(&item));
    }
  }
  InvalidateRect(list_, nullptr, FALSE);
}

void Win32FileListPort::ShowAppendedRows() {
  if (rowsShown_ == Rows()) return;
  // Counted as shown before the states are set: their notifications read the rows back.
  rowsShown_ = Rows();
  SendMessageA(list_, LVM_SETITEMCOUNT, static_cast<WPARAM>(rowsShown_), 0);
  std::vector<std::pair<int, std::uint32_t>> states;
  states.swap(appendedStates_);
  for (const auto& [row, state] : states) {
    LVITEMA item{};
    item.stateMask = kRowStateBits;
    item.state = ToControlState(state);
    SendMessageA(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
  }
}

void Win32FileListPort::FillDisplayInfo(NMLVDISPINFOA& info) const {
  if (info.item.iItem < 0 || info.item.iItem >= Rows()) return;
  const Row& row = rows_[static_cast<std::size_t>(info.item.iItem)];
  AnswerDisplayInfo(
      info.item, row.image, row.cells, [](const std::string& text, char* out, int room) {
        const std::size_t length = std::min(text.size(), static_cast<std::size_t>(room));
        text.copy(out, length);
        out[length] = '\0';
      });
}

void Win32FileListPort::FillDisplayInfo(NMLVDISPINFOW& info) const {
  if (info.item.iItem < 0 || info.item.iItem >= Rows()) return;
  const Row& row = rows_[static_cast<std::size_t>(info.item.iItem)];
  AnswerDisplayInfo(info.item, row.image, row.cells,
                    [&](const std::string& text, wchar_t* out, int room) {
                      const std::wstring wide = WideFromText(text, encoding_);
                      std::size_t length = std::min(wide.size(), static_cast<std::size_t>(room));
                      // A cut text ends before a character, never inside one's surrogate pair.
                      if (length < wide.size() && length > 0 && IS_HIGH_SURROGATE(wide[length - 1]))
                        --length;
                      wide.copy(out, length);
                      out[length] = L'\0';
                    });
}

int Win32FileListPort::FindRowNamed(std::string_view sought, UINT flags, int start) const {
  const int rows = Rows();
  if (rows == 0) return -1;
  if (start < 0 || start >= rows) start = 0;
  const int tries = (flags & LVFI_WRAP) != 0 ? rows : rows - start;
  for (int i = 0; i < tries; ++i) {
    const int row = (start + i) % rows;
    const std::string& name = rows_[static_cast<std::size_t>(row)].cells[kNameColumn];
    if ((flags & LVFI_PARTIAL) != 0 ? StartsWithIgnoreCase(name, sought)
                                    : EqualsIgnoreCase(name, sought)) {
      return row;
    }
  }
  return -1;
}

int Win32FileListPort::FindRow(const NMLVFINDITEMA& find) const {
  if ((find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) == 0 || find.lvfi.psz == nullptr) return -1;
  return FindRowNamed(find.lvfi.psz, find.lvfi.flags, find.iStart);
}

int Win32FileListPort::FindRow(const NMLVFINDITEMW& find) const {
  if ((find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) == 0 || find.lvfi.psz == nullptr) return -1;
  std::string sought;
  if (!TextFromWideExactly(find.lvfi.psz, encoding_, sought)) return -1;
  return FindRowNamed(sought, find.lvfi.flags, find.iStart);
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
  SetDlgItemTextW(window_, IDC_LOCATION, WideFromText(text, encoding_).c_str());
}

void Win32BrowserControls::EnableCommand(int commandId) {
  EnableMenuItem(GetMenu(window_), static_cast<UINT>(commandId), MF_BYCOMMAND | MF_ENABLED);
}

}  // namespace mv
