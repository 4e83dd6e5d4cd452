// GetLastError codes turned into the platform error vocabulary; the only place that asks.
#pragma once

#include <windows.h>

#include "platform/io_error.h"

namespace mv::win32 {

IoError FromWin32Error(DWORD error);
inline IoError LastIoError() {
  return FromWin32Error(GetLastError());
}

}  // namespace mv::win32
