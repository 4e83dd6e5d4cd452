// The About box (resource 115): banner, version, release date and three links.
#pragma once

#include <windows.h>

#include "ui/win32/main_window.h"

namespace mv {

class ShellPort;

// Modal, owned by owner. The links open pages through shell (none: clicks do nothing).
void ShowAboutDialog(HWND owner, ShellPort* shell, const WebPages& pages);

}  // namespace mv
