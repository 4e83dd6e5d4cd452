// Reading a control's whole text, however long: the location field, the search name.
#pragma once

#include <windows.h>

#include <string>

namespace mv {

std::string WholeWindowText(HWND window);

}  // namespace mv
