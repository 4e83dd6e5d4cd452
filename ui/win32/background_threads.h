// The long-lived worker threads the main window starts when it is created (the eight
// capture workers, 50 ms apart, then the scan thread), and how they reach the screen: the
// Take Snapshots dialog that is open, its network tree, and the owner of their messages.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/view_ports.h"

namespace mv {

// Starts them once per process; later calls (a test creating the window again) start
// nothing more.
void StartBackgroundThreads();

// Each Take Snapshots dialog adds itself on its own thread when it opens and removes itself
// as it is destroyed. With several open at once (the first-run prompt's and the main
// window's), the newest is the current one: the scan fills its tree, its buttons follow
// the activity state and it owns the end-of-job message. Removing the current dialog makes
// the next newest current again; then Remove answers true, since that dialog's tree no
// longer matches the tables of the scan that filled the other one.
void AddOpenTakeSnapshotsDialog(HWND dialog);
bool RemoveOpenTakeSnapshotsDialog(HWND dialog);

// Runs work with the current dialog on that dialog's thread and returns once it has run.
// Nothing runs, and the answer is false, when no dialog is open or when the dialog has
// closed before its thread got to the request: so a task still winding down after its
// dialog closed never touches a destroyed window.
bool RunOnTakeSnapshotsDialog(const std::function<void(HWND dialog)>& work);

// The network tree the scan fills and the capture reads the ticks from: control 1001 of the
// current dialog. With none open, insertions are dropped and no item is ticked.
TreePort& NetworkTreePort();

// The capture job's messages: owned by the current dialog, else by the main window.
NoticePort& NetworkNotices();

}  // namespace mv
