// ShellExecuteA behind the shell port: see win32_shell_port.h.
#include "ui/win32_shell_port.h"

#include <windows.h>

#include <shellapi.h>

namespace mv {

void Win32ShellPort::Open(const std::string& target) {
  ShellExecuteA(nullptr, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace mv
