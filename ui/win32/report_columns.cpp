// Report columns fitted to their list: see report_columns.h.
#include "ui/win32/report_columns.h"

#include <algorithm>

#include "ui/win32/window_text.h"

namespace mv {

void InsertReportColumns(HWND list, std::span<const ReportColumn> columns) {
  int total = 0;
  for (const ReportColumn& column : columns) total += column.width;
  RECT client{};
  GetClientRect(list, &client);
  // Room for the vertical scroll bar that the first screenful of rows brings.
  const int room = client.right - GetSystemMetrics(SM_CXVSCROLL);
  const bool narrow = room > 0 && total > room;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const ReportColumn& column = columns[i];
    LVCOLUMNW info{};
    info.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM | LVCF_FMT;
    info.fmt = column.format;
    info.cx =
        narrow ? std::max(MulDiv(column.width, room, total), column.width / 10) : column.width;
    info.pszText = const_cast<wchar_t*>(column.title);
    info.iSubItem = static_cast<int>(i);
    SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&info));
  }
}

void InsertReportRow(HWND list, int row, std::span<const std::string> cells) {
  for (std::size_t column = 0; column < cells.size(); ++column) {
    std::wstring text = WideFromText(cells[column], NameEncoding::kUtf8);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = static_cast<int>(column);
    item.pszText = text.data();
    SendMessageW(list, column == 0 ? LVM_INSERTITEMW : LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
  }
}

}  // namespace mv
