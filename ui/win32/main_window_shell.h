// The main window's application-shell steps: the first-run check, the update check,
// applying the settings (each through the hooks start-up gave the window), and the tray
// icon's callback.
#pragma once

#include <windows.h>

namespace mv {

// On a first run: waits half a second, then asks on a thread of its own. At every start the
// registry marker is written afterwards, whatever the answer will be.
void CheckFirstRun(HWND window);

// Starts the update check on a thread of its own against the setup's server (none: nothing).
void StartUpdateCheckOfWindow(HWND window);

// The autorun and tray icon settings take effect: at creation and after the Settings dialog.
void ApplySettings();

// The tray callback message: a left-button release shows the window in front; other mouse
// events are ignored.
void OnTrayCallback(HWND window, LPARAM mouseEvent);

}  // namespace mv
