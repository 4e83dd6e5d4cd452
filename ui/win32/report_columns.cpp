// Report columns fitted to their list: see report_columns.h.
#include "ui/win32/report_columns.h"

#include <algorithm>

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

}  // namespace mv
