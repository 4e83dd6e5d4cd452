// The notification-area icon: the application icon with the tip "Mirrorvault"; mouse
// events on it reach the window as the tray callback message.
#pragma once

#include <windows.h>

#include <string>

namespace mv {

// Removes the icon shown before (quietly, when there is none); when on, adds it anew for
// window with icon. True when the icon is now as asked: false when it could not be added
// (no taskbar yet, or none at all). Main thread only.
bool SetTrayIcon(HWND window, HICON icon, bool on);

// The icon for window, kept where the taskbar still shows it, else added anew (after
// Explorer has started again the taskbar knows none). True when it is shown. Main thread only.
bool ShowTrayIconAgain(HWND window, HICON icon);

// A balloon from the icon shown for window (UTF-8 texts, cut to what the taskbar holds); false
// when no icon is shown. Main thread only.
bool ShowTrayBalloon(HWND window, const std::string& title, const std::string& text);

}  // namespace mv
