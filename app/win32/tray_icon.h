// The notification-area icon: the application icon with the tip "Mirrorvault"; mouse
// events on it reach the window as the tray callback message.
#pragma once

#include <windows.h>

namespace mv {

// Removes the icon shown before (quietly, when there is none); when on, adds it anew for
// window with icon. Main thread only.
void SetTrayIcon(HWND window, HICON icon, bool on);

}  // namespace mv
