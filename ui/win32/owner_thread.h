// Running a piece of window code on the thread that owns a window: worker threads change
// controls and menus only this way, through a synchronous SendMessage to the owner.
#pragma once

#include <windows.h>

#include <functional>

namespace mv {

// The private message that carries the work; a window that accepts it passes it on to
// HandleRunOnOwnerThread.
inline constexpr UINT kRunOnOwnerThreadMessage = WM_APP + 1;

// Runs work on window's owner thread and returns when it has run. On the owner thread
// itself it runs at once.
void RunOnOwnerThread(HWND window, const std::function<void()>& work);

// The window procedure's side: runs the work a kRunOnOwnerThreadMessage carries.
void HandleRunOnOwnerThread(LPARAM lParam);

}  // namespace mv
