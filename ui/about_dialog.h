// The About box (resource 115): banner, version, release date and three links.
#pragma once

#include <windows.h>

namespace mv {

class ShellPort;

// Modal, owned by owner. The links open through shell (none: clicks do nothing).
void ShowAboutDialog(HWND owner, ShellPort* shell);

}  // namespace mv
