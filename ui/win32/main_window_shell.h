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

// With the tray setting on, whether the tray icon is there, added again where it was missing.
// False with the setting off: closing the window then must not hide it, since nothing would
// bring it back.
bool TrayIconShown(HWND window);

// The broadcast Explorer sends when its taskbar is made (again): the icon is added anew.
UINT TaskbarCreatedMessage();
void OnTaskbarCreated(HWND window);

// The end of the session: the program ends through its exit routine.
void OnSessionEnd();

}  // namespace mv
