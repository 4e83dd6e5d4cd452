// The application shell's side of the main window: the hooks through which the window reaches
// the registry, the tray icon, the update check and the maker's web pages.
#pragma once

#include "ui/win32/main_window.h"

namespace mv {

// Fills the setup's web pages and shell hooks with the program's own.
void ConnectAppShell(MainWindowSetup& setup);

}  // namespace mv
