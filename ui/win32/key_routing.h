// Keys on the main thread. The main window is a modal dialog: its message loop belongs to the
// system, and that loop hands keys only to the main window's own dialog handling. A message
// filter, which the loop calls for every message, routes them before that: the program's
// accelerator table for the main window and its controls, and the dialog keys (Tab, Esc,
// Enter) for each modeless window registered here.
#pragma once

#include <windows.h>

namespace mv {

// On the main window's thread, as it is created: routes keys to it through accelerators
// (null: none). Again for a window made later on the same thread (tests) replaces the first.
void StartKeyRouting(HWND mainWindow, HACCEL accelerators);
// As the main window is destroyed.
void StopKeyRouting();

// A modeless window on the main thread gets its dialog keys once added, until removed (at
// the latest as it is destroyed).
void AddModelessWindow(HWND window);
void RemoveModelessWindow(HWND window);

// A modeless window asked for again: restored, shown, to the front, focus on control.
inline void BringModelessForward(HWND window, HWND control) {
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

// What the filter does with one message of the main thread's loops: true when it took it
// (the loop then neither translates nor dispatches it).
bool RouteKeyMessage(MSG& message);

}  // namespace mv
