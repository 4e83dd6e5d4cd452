// Running a piece of window code on the thread that owns a window: worker threads change
// controls and menus only this way, through a synchronous SendMessage to the owner.
#pragma once

#include <windows.h>

#include <functional>

namespace mv {

// Runs work on window's owner thread and returns when it has run (or when the window is
// gone, and then it has not run). On the owner thread itself it runs at once.
void RunOnOwnerThread(HWND window, const std::function<void()>& work);

// The window procedure's side: true when message is the hand-over message, which it has then
// served. It carries only a ticket: the work runs when the ticket names work this process
// queued and that has not run yet; any other value, from whatever sender, is ignored.
bool HandleRunOnOwnerThread(UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace mv
