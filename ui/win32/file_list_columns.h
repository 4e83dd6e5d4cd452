// The file list's four report columns, inserted once when the main window is created.
#pragma once

#include <windows.h>

namespace mv {

void InsertFileListColumns(HWND list);

}  // namespace mv
