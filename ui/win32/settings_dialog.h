// The Settings dialog (resource 114): snapshots directory, autorun and tray icon.
#pragma once

#include <windows.h>

namespace mv {

// Modal, owned by owner. OK makes the changes take effect at once (snapshot tree, Run entry,
// tray icon); they reach the settings file only at exit. Cancel changes nothing.
void ShowSettingsDialog(HWND owner);

}  // namespace mv
