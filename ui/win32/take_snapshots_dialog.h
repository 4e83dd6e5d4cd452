// The Take Snapshots dialog (resource 103): where the user ticks the groups, computers and
// shares to capture, scans the network again, starts a capture and stops the running task.
#pragma once

#include <windows.h>

namespace mv {

// Opens the dialog modally on the calling thread and returns when it has closed. owner may
// be null (the first-run prompt's dialog, on a thread of its own). Every opening starts a
// fresh network scan. The main window must have been created: it starts the scan thread and
// the capture workers, and keeps the network menu.
void ShowTakeSnapshotsDialog(HWND owner);

// The dialog procedure. Returns 0 for every message, so the default dialog handling runs as
// well: a close box thus also sends command 2, which stops a running task.
INT_PTR CALLBACK TakeSnapshotsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace mv
