// The file list's columns: Name, Type, Size, Date Created, left-aligned.
#include "ui/file_list_columns.h"

#include <windows.h>

#include <commctrl.h>

namespace mv {
namespace {

struct Column {
  const char* header;
  int width;
};

constexpr Column kColumns[] = {{"Name", 250}, {"Type", 80}, {"Size", 80}, {"Date Created", 90}};

}  // namespace

void InsertFileListColumns(HWND list) {
  int index = 0;
  for (const Column& column : kColumns) {
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
