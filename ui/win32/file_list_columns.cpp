// The file list's columns: Name, Type, Size, Date Created, left-aligned.
#include "ui/win32/file_list_columns.h"

#include <commctrl.h>

#include "ui/file_list_rows.h"

namespace mv {

void InsertFileListColumns(HWND list) {
  int index = 0;
  for (const FileListColumn& column : kFileListColumns) {
    LVCOLUMNA lvc{};
    lvc.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    lvc.fmt = LVCFMT_LEFT;
    lvc.cx = column.width;
    lvc.pszText = const_cast<char*>(column.header);
    lvc.iSubItem = index;
    SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&lvc));
    ++index;
  }
}

}  // namespace mv
