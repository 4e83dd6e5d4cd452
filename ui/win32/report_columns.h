// The columns of a report-view list made at a window's creation: inserted in order, their
// widths narrowed together so that the first view of the list needs no horizontal scroll bar.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <span>
#include <string>

namespace mv {

struct ReportColumn {
  const wchar_t* title;
  int width;  // pixels, when the list has room for every column
  int format = LVCFMT_LEFT;
};

// Inserts columns into list (LVS_REPORT). When their widths together exceed the list's client
// width, less a vertical scroll bar, each is narrowed in proportion (to no less than a tenth
// of its width); the user's later resizing is left as it is.
void InsertReportColumns(HWND list, std::span<const ReportColumn> columns);

// Inserts a row at row of a list that keeps its own texts (not LVS_OWNERDATA), one cell per
// column from the first, each UTF-8.
void InsertReportRow(HWND list, int row, std::span<const std::string> cells);

}  // namespace mv
